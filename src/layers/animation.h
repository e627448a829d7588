// Frame-animation layer: a strip of equal frames in one canvas, filled by a loader routine at
// the first draw, showing one frame at a time. Each compose in which it holds the pointer focus
// steps one frame and gives the focus up, so the layer timer's hit test takes it again at the
// next tick: the animation plays while hovered and stands still otherwise.
// LoadSampleFrames is a loader that fills a layer with a grey disc sliding to the right.
#pragma once
#include <cstdint>

#include "platform/windows.h"

struct Layer;

// The layer LoadSampleFrames fills when called without one (0 at start; callers that do so set
// it): drawing an animation layer hands the loader that layer, so playback never needs it.
extern int32_t EffectLayerIndex;

// Index of the new layer, or -1 when the list is full. The layer sits at (x, y + 1); its canvas
// holds frameCount frames of frameHeight rows. The loader runs at each draw until it sets ready.
// A frame count of 0 makes a layer with no picture: it is never loaded nor drawn, yet hit-tested.
int32_t CreateAnimationLayer(HWND window, int32_t x, int32_t y, int32_t width, int32_t frameHeight,
                             void (*loader)(Layer* layer), uint32_t frameCount);
// Calls the loader (with this layer) while not ready, writing "Frame Not Ready." over frame 0
// if that leaves it not ready; else advances a frame when focused. Then copies into ComposeDC.
void DrawAnimationLayer(uint32_t index);
// Draws a grey disc of radius 50 on the work surface, takes frame 0 from there and makes frame k
// (1 to 10) frame 0 moved 20 + k columns right; frames lie 100 rows apart (frame height 100,
// 11 frames). Then sets ready.
// Fills the layer it is given, else the one at EffectLayerIndex; fills nothing that is not an
// animation layer of the list.
void LoadSampleFrames(Layer* layer);
