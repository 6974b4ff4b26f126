// The fuzz targets without libFuzzer: a main() that feeds every file of the
// folders (or the files) it is given to LLVMFuzzerTestOneInput once, so that
// the ordinary builds replay the committed corpora as tests, under ASan and
// UBSan too. A crash or a broken property aborts the process; the last
// "Running:" line names the input.
// Leaves out: mutation, coverage and every other libFuzzer flag.
// Depends on the standard library only.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files of a folder in name order, or the file itself.
std::vector<fs::path> InputsIn(const fs::path& place) {
  if (!fs::is_directory(place)) return {place};
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(place)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs one input from a buffer of exactly its size, as libFuzzer does, so that
// ASan sees a read past its end. False when the file cannot be read.
bool Replay(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  std::ifstream in(file, std::ios::binary);
  if (error || !in) return false;
  std::vector<std::uint8_t> bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (static_cast<std::uintmax_t>(in.gcount()) != size) return false;
  std::fprintf(stderr, "Running: %s\n", file.string().c_str());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...\n", argv[0]);
    return 2;
  }
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const fs::path& file : InputsIn(argv[i])) {
      if (!Replay(file)) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return 1;
      }
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  // An empty or missing corpus tests nothing: that is a failure too.
  return replayed == 0 ? 1 : 0;
}
