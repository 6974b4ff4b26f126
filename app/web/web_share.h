// The page's share requests: its copy and paste events and a new address
// fragment, answered through the app's settings text functions.
// Depends on: the app library, the web backend's share requests
// (platform/web/web_shared.h).
#pragma once

// Answers every share request that waited since the last call: a copy puts
// a link to the sound on the clipboard, a paste sets the knobs (or says why
// the text is no sound), a new fragment sets the knobs (a malformed one is
// told as a bad paste is, and changes nothing).
void WebShareRequestsHandle();

// Sets the knobs and the seed from the address's fragment, if it holds a
// sound; when it holds something else, the next WebShareRequestsHandle says
// why (after the first frame, so that the box stands over the window).
void WebShareFragmentOpen();
