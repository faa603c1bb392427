#include "window/sdl_handles.h"

#include <SDL.h>

void SdlDeleter::operator()(SDL_Renderer* p) const { SDL_DestroyRenderer(p); }
void SdlDeleter::operator()(SDL_Surface* p) const { SDL_FreeSurface(p); }
void SdlDeleter::operator()(SDL_Texture* p) const { SDL_DestroyTexture(p); }
void SdlDeleter::operator()(SDL_Window* p) const { SDL_DestroyWindow(p); }

SdlError::SdlError(const std::string& call) : std::runtime_error(call + " failed: " + SDL_GetError()) {}

void checked(int status, const char* call) {
    if (status < 0) throw SdlError(call);
}
