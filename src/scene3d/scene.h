// The 3D view: the OpenGL context on the main window and the key-steered scene that timer 4
// renders while the view mode is 1. InitScene builds two lit spheres; without it (as in the
// demonstration) a frame is only the cleared colour buffer, a black window.
// Calls run on the user-interface thread, after CreateSceneContext, in any order.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "platform/windows.h"
#include "platform/wingdi_gl.h"

// A transformable object: angles are degrees about the Y, X and Z axes, in that order; at every
// draw each angle grows by its step, without limit. The triples are pointers so that objects
// can share storage.
struct SceneObject {
    float* translation;  // x, y, z
    float* angles;
    float* steps;
};

// Objects 1 to 3 draw display lists 1 to 3; object 3 uses object 2's translation and angles
// (the same storage) with steps of its own.
extern SceneObject SceneObjects[3];
extern double fieldOfView;  // degrees, 5 at start; changed by X and Z without limit
extern HGLRC SceneContext;
extern GLUquadric* SceneQuadrics[2];  // of spheres 1 and 2, made by InitScene

constexpr uint32_t KEY_STEER_LEFT = 0x41;   // A: object 1's Y step -= 0.1, then a frame
constexpr uint32_t KEY_STEER_RIGHT = 0x44;  // D: object 1's Y step += 0.1, then a frame
constexpr uint32_t KEY_STEER_UP = 0x57;     // W: object 1's X step += 0.1
constexpr uint32_t KEY_STEER_DOWN = 0x53;   // S: object 1's X step -= 0.1
constexpr uint32_t KEY_WIDEN = 0x58;        // X: field of view -= 5, then the viewport
constexpr uint32_t KEY_NARROW = 0x5A;       // Z: field of view += 5, then the viewport

// Sets the pixel format on the window's device context, creates SceneContext and makes it
// current. False when the pixel format cannot be set, and also when the context cannot be
// created or made current: the caller then ends the program.
// The context, lists and quadrics are never torn down: they live until the process ends.
bool CreateSceneContext(HDC windowDC);
// Three directional lights, spheres 1 and 2 in display lists 1 and 2, depth test, lighting,
// back-face culling, smooth shading, normalising.
void InitScene();
// Position (sent while the modelview matrix is current), white diffuse and specular light,
// ambient colour, attenuation and spot settings; then enables the light.
void SetupLight(GLenum light, const GLfloat position[4], const GLfloat ambient[4]);
// Compiles display list `list` with a sphere of the given material; returns its quadric.
GLUquadric* BuildSphereList(GLuint list, GLenum drawStyle, GLenum normals,
                            const GLfloat material[4], GLdouble radius, GLint slicesAndStacks);
// Compiles display list `list` with two square quad strips at z = -1 and z = 0.
void BuildSquareList(GLuint list);
// Deletes the first sphere's quadric only (its display list stays).
void DeleteSceneQuadric();
// Viewport from the client area's lower-left corner, perspective from fieldOfView with
// aspect 1, near 3 and far 7; leaves the modelview matrix current and identity.
void SetSceneViewport(int32_t width, int32_t height);
// Clears, draws the three objects (each in the frame of the one before), places light 0 anew
// and swaps.
void RenderScene();
// Translates, advances the angles by the steps, rotates about Y, X, Z and calls the list.
void DrawSceneObject(GLuint list, const float translation[3], const float steps[3],
                     float angles[3]);
// Acts on a steering key (keyCode: the key code the dispatcher stored for WM_KEYDOWN); X and
// Z size the viewport from the right and bottom edges of window's rectangle. Other keys do
// nothing.
void SteerScene(HWND window, uint32_t keyCode);

// Puts the objects' angles and steps and the field of view back to their start values and
// deletes the quadrics.
void ResetSceneForTest();
