// The web backend's shared part: the browser functions of tonkelwerk_web.js
// that the services call, and the downloads folder that joins the save
// dialog to the event poll. Internal to the web backend and the page's
// program: nothing outside platform/web, platform/*/*_web.cpp and app/web/
// includes it.
//
// Browser objects (windows, buttons, images, fonts, sounds) are small
// positive numbers on the JavaScript side, 0 for none; the services keep them
// as the native handles of their ObjectTable records.
#pragma once

#include <cstdint>

#include "platform/core/object_table.h"

extern "C" {
// Sleeping with the page handed to the browser meanwhile; waiting for input
// while nothing moves.
void tw_sleep(unsigned ms);
void tw_input_wait();

// Window, buttons, events, command keys and the context menu.
int tw_window_open(int width, int height, const char* title);
void tw_window_close(int window);
std::uint32_t tw_button_face();
int tw_button_add(int window, std::intptr_t ident, int x, int y, int width, int height,
                  const char* text);
void tw_button_remove(int button);
int tw_event_next();
std::uint32_t tw_event_word();
std::intptr_t tw_event_button();
int tw_mouse_pos(int window, int vertical);
int tw_event_command();
void tw_command_keys_clear(int window);
void tw_command_key_add(int command, int key, std::uint32_t modifiers);
void tw_menu_entry(int command, const char* text, int enabled);
void tw_menu_open(int window, int x, int y);

// Screen, images and drawing.
int tw_screen_init();
int tw_screen_open(int window, int x, int y, int width, int height, int stretch, int rightMargin,
                   int bottomMargin);
void tw_screen_close();
void tw_frame_clear(std::uint32_t colour);
void tw_frame_show(int image, int x, int y);
int tw_frame_changed();
void tw_frame_present();
int tw_screen_ratio_follow();
int tw_image_new(int width, int height);
void tw_object_free(int object);
int tw_draw_begin(int image);
void tw_draw_end();
void tw_draw_font(int font);
void tw_draw_span(int x, int y, int width, int height, std::uint32_t colour, int xorPen);
int tw_draw_text(int x, int y, const char* text, int length, std::uint32_t textColour,
                 std::uint32_t backgroundColour, int opaque, int draw);

// Dialogs and fonts; the boxes wait for the user without blocking the page.
int tw_font_new(const char* face, int pixels);
int tw_message_box(const char* title, const char* text, std::uint32_t style);
int tw_save_dialog(const char* title, const char* typeName, const char* offered, char* out,
                   int outSize);
void tw_downloads_folder(const char* folder);
void tw_downloads_offer(const char* folder);

// Sound; a page without Web Audio makes its sounds silently.
int tw_sound_new(const std::uint8_t* data, int frames, int channels, int rate);
int tw_sound_start(int sound);
void tw_sound_gain(int sound, double gain);
void tw_sound_free(int sound);

// The knobs as sliders for the keyboard and assistive technology.
int tw_knob_slider_add(int window, int x, int y, int width, int height, const char* name, int max,
                       int step);
void tw_knob_slider_set(int slider, int angle, const char* text);
int tw_knob_turn_next(int* angle);

// Share links: requests from the page's copy and paste, the address's
// fragment, and copying a link. A request's text comes whole, NULs and all:
// tw_share_text writes tw_share_text_size() bytes and a terminating NUL.
int tw_share_next();
int tw_share_text_size();
void tw_share_text(char* out, int outSize);
void tw_share_fragment();  // makes the address's fragment the request
void tw_share_copy(const char* fragment);
}

// The in-memory folder that saved files go to; ends in '/'.
inline constexpr const char* kWebDownloadsFolder = "/downloads/";

// Notes that a file may have been saved to the downloads folder: the next
// event poll offers it as a download.
void WebDownloadPending();

// Offers the files saved since the last call as downloads (at most once per
// save, from the event poll, after the command that saved has finished).
void WebDownloadsOffer();

// Between passes of the event loop: waits for the next input while nothing
// moves and no saved file waits for the next poll to offer it.
void WebInputWait();

// The page's image behind a live image handle of the screen service, 0 for
// none (the drawing service draws on it).
int WebImageFromHandle(ObjectId handle);
