#include "scene3d/scene.h"

#include <initializer_list>

namespace {

HDC sceneDC = nullptr;  // the window's device context the frames are swapped on

// Object storage: object 3 has only its steps here, it borrows object 2's other triples.
float translation1[3] = {0.0f, 0.0f, -5.0f};
float angles1[3] = {0.0f, 0.0f, 0.0f};
float steps1[3] = {0.0f, 0.0f, 0.0f};
float translation2[3] = {0.01f, 0.0f, 0.12f};
float angles2[3] = {0.0f, 0.0f, 0.0f};
float steps2[3] = {0.0f, 0.0f, 0.0f};
float steps3[3] = {0.0f, 0.0f, 0.0f};

constexpr double START_FIELD_OF_VIEW = 5.0;
constexpr double ASPECT = 1.0;
constexpr double NEAR_PLANE = 3.0;
constexpr double FAR_PLANE = 7.0;

constexpr double STEER_STEP = 10.0 / 100.0;
constexpr double FIELD_OF_VIEW_STEP = 500.0 / 100.0;

// A step changes by the real amount and is stored back in single precision.
void Nudge(float* step, double amount) {
    *step = static_cast<float>(*step + amount);
}

const GLfloat LIGHT0_POSITION[4] = {-2.0f, -2.0f, -4.0f, 0.0f};
const GLfloat SPHERE1_MATERIAL[4] = {0.6f, 0.4f, 0.2f, 0.0f};
const GLfloat SPHERE2_MATERIAL[4] = {0.8f, 0.8f, 0.0f, 0.0f};

}  // namespace

SceneObject SceneObjects[3] = {
    {translation1, angles1, steps1},
    {translation2, angles2, steps2},
    {translation2, angles2, steps3},
};
double fieldOfView = START_FIELD_OF_VIEW;
HGLRC SceneContext = nullptr;
GLUquadric* SceneQuadrics[2] = {nullptr, nullptr};

bool CreateSceneContext(HDC windowDC) {
    PIXELFORMATDESCRIPTOR descriptor = {};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 8;
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(windowDC, &descriptor);
    if (!SetPixelFormat(windowDC, format, &descriptor)) return false;
    sceneDC = windowDC;
    SceneContext = wglCreateContext(windowDC);
    return SceneContext != nullptr && wglMakeCurrent(windowDC, SceneContext);
}

void InitScene() {
    const GLfloat position0[4] = {-2.0f, -2.0f, -4.0f, 0.0f};
    const GLfloat ambient0[4] = {0.2f, 0.0f, 0.0f, 1.0f};
    const GLfloat position1[4] = {2.0f, 2.0f, 4.0f, 0.0f};
    const GLfloat ambient1[4] = {0.0f, 0.2f, 0.0f, 1.0f};
    const GLfloat position2[4] = {-2.0f, 2.0f, 4.0f, 0.0f};
    const GLfloat ambient2[4] = {0.0f, 0.0f, 0.2f, 1.0f};
    SetupLight(GL_LIGHT0, position0, ambient0);
    SetupLight(GL_LIGHT1, position1, ambient1);
    SetupLight(GL_LIGHT2, position2, ambient2);
    SceneQuadrics[0] = BuildSphereList(1, GLU_FILL, GLU_SMOOTH, SPHERE1_MATERIAL, 0.11, 32);
    SceneQuadrics[1] = BuildSphereList(2, GLU_FILL, GLU_SMOOTH, SPHERE2_MATERIAL, 0.01, 24);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_NORMALIZE);
}

void SetupLight(GLenum light, const GLfloat position[4], const GLfloat ambient[4]) {
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat spotDirection[3] = {-1.0f, -1.0f, -1.0f};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, white);
    glLightfv(light, GL_SPECULAR, white);
    glLightfv(light, GL_AMBIENT, ambient);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(light, GL_LINEAR_ATTENUATION, 1.0f);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 1.0f);
    // GL refuses a cutoff of -1 (GL_INVALID_VALUE) and keeps 180: no light is a spotlight.
    glLightf(light, GL_SPOT_CUTOFF, -1.0f);
    glLightf(light, GL_SPOT_EXPONENT, 0.0f);
    glLightfv(light, GL_SPOT_DIRECTION, spotDirection);
    glEnable(light);
}

GLUquadric* BuildSphereList(GLuint list, GLenum drawStyle, GLenum normals,
                            const GLfloat material[4], GLdouble radius, GLint slicesAndStacks) {
    glNewList(list, GL_COMPILE);
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, drawStyle);
    gluQuadricNormals(quadric, normals);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, material);
    gluSphere(quadric, radius, slicesAndStacks, slicesAndStacks);
    glEndList();
    return quadric;
}

void BuildSquareList(GLuint list) {
    static const GLint square[8][2] = {{0, 0}, {0, 1}, {0, 1}, {1, 1},
                                       {1, 1}, {1, 0}, {1, 0}, {0, 0}};
    glNewList(list, GL_COMPILE);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, SPHERE1_MATERIAL);
    for (const GLint z : {-1, 0}) {
        glBegin(GL_QUAD_STRIP);
        for (const auto& corner : square) glVertex3i(corner[0], corner[1], z);
        glEnd();
    }
    glEndList();
}

void DeleteSceneQuadric() {
    gluDeleteQuadric(SceneQuadrics[0]);
    SceneQuadrics[0] = nullptr;
}

void SetSceneViewport(int32_t width, int32_t height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, ASPECT, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void RenderScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    DrawSceneObject(1, SceneObjects[0].translation, SceneObjects[0].steps, SceneObjects[0].angles);
    DrawSceneObject(2, SceneObjects[1].translation, SceneObjects[1].steps, SceneObjects[1].angles);
    // Light 0 placed in the frame reached after object 2, so it turns with the objects.
    glLightfv(GL_LIGHT0, GL_POSITION, LIGHT0_POSITION);
    DrawSceneObject(3, SceneObjects[2].translation, SceneObjects[2].steps, SceneObjects[2].angles);
    glPopMatrix();
    SwapBuffers(sceneDC);
}

void DrawSceneObject(GLuint list, const float translation[3], const float steps[3],
                     float angles[3]) {
    glTranslatef(translation[0], translation[1], translation[2]);
    angles[0] += steps[0];
    glRotatef(angles[0], 0.0f, 1.0f, 0.0f);
    angles[1] += steps[1];
    glRotatef(angles[1], 1.0f, 0.0f, 0.0f);
    angles[2] += steps[2];
    glRotatef(angles[2], 0.0f, 0.0f, 1.0f);
    glCallList(list);
}

void SteerScene(HWND window, uint32_t keyCode) {
    float* const steps = SceneObjects[0].steps;
    switch (keyCode) {
        case KEY_STEER_LEFT:
            Nudge(&steps[0], -STEER_STEP);
            RenderScene();
            return;
        case KEY_STEER_RIGHT:
            Nudge(&steps[0], STEER_STEP);
            RenderScene();
            return;
        case KEY_STEER_UP:
            Nudge(&steps[1], STEER_STEP);
            return;
        case KEY_STEER_DOWN:
            Nudge(&steps[1], -STEER_STEP);
            return;
        case KEY_WIDEN:
        case KEY_NARROW: {
            fieldOfView += keyCode == KEY_NARROW ? FIELD_OF_VIEW_STEP : -FIELD_OF_VIEW_STEP;
            RECT rect = {};
            GetWindowRect(window, &rect);
            SetSceneViewport(rect.right, rect.bottom);
            return;
        }
        default:
            return;
    }
}

void ResetSceneForTest() {
    for (GLUquadric*& quadric : SceneQuadrics) {
        if (quadric != nullptr) gluDeleteQuadric(quadric);
        quadric = nullptr;
    }
    for (float* triple : {angles1, steps1, angles2, steps2, steps3})
        triple[0] = triple[1] = triple[2] = 0.0f;
    fieldOfView = START_FIELD_OF_VIEW;
}
