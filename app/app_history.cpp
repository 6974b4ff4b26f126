// Recording a step in the bounded undo history.
#include "app/app_history.h"

void KnobHistory::Record(const KnobStep& step) {
  steps_.resize(current_ + 1);
  steps_.push_back(step);
  if (steps_.size() > kUndoSteps + 1) steps_.pop_front();
  current_ = steps_.size() - 1;
}
