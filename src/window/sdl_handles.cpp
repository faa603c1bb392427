#include "window/sdl_handles.h"

#include <SDL.h>

void SdlDeleter::operator()(SDL_Surface* p) const { SDL_FreeSurface(p); }
void SdlDeleter::operator()(SDL_Window* p) const { SDL_DestroyWindow(p); }
