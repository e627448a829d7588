// The scene with InitScene called, on a window of its own on the headless driver: the lit
// frame, the steering keys, the object storage, the transforms, lights and lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/headless.h"
#include "scene3d/scene.h"

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool IsBlack(uint32_t pixel) {
    return pixel == 0;
}
uint32_t Red(uint32_t p) {
    return (p >> 16) & 0xFF;
}
uint32_t Green(uint32_t p) {
    return (p >> 8) & 0xFF;
}
uint32_t Blue(uint32_t p) {
    return p & 0xFF;
}

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VELMORA_DRIVER", "headless", 1);
        unsetenv("VELMORA_GL_REFUSE");
        PlatformResetForTest();
        ResetSceneForTest();
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(WNDCLASSEXA);
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "SceneTest";
        RegisterClassExA(&windowClass);
        window = CreateWindowExA(0, "SceneTest", "scene", WS_OVERLAPPEDWINDOW, 0, 0, 600, 480,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(CreateSceneContext(GetDC(window)));
        SetSceneViewport(600, 480);
    }
    void TearDown() override {
        PlatformResetForTest();
        ResetSceneForTest();
    }
    float* Steps1() { return SceneObjects[0].steps; }
    float* Angles1() { return SceneObjects[0].angles; }
    HWND window = nullptr;
};

TEST_F(SceneTest, ContextIsCurrentOnTheWindow) {
    EXPECT_NE(SceneContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), SceneContext);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 16);
}

TEST_F(SceneTest, LitFrameShowsBothSpheresOnBlack) {
    InitScene();
    RenderScene();
    const HeadlessImage image = HeadlessClientImage();
    // The small yellow sphere sits in front of the large one, at the centre.
    const uint32_t centre = image.at(300, 240);
    EXPECT_GT(Red(centre), 200u) << std::hex << centre;
    EXPECT_GT(Green(centre), 200u) << std::hex << centre;
    EXPECT_LT(Blue(centre), 40u) << std::hex << centre;
    // The brownish sphere around it: red over green over blue, well lit.
    for (const auto& [x, y] : {std::pair{300, 170}, std::pair{220, 240}, std::pair{380, 240}}) {
        const uint32_t p = image.at(x, y);
        EXPECT_GT(Red(p), 150u) << x << "," << y << " " << std::hex << p;
        EXPECT_GT(Red(p), Green(p)) << x << "," << y;
        EXPECT_GT(Green(p), Blue(p)) << x << "," << y;
    }
    // Black around the sphere: corners, edges and the band just outside its outline.
    for (const auto& [x, y] :
         {std::pair{0, 0}, std::pair{599, 0}, std::pair{0, 479}, std::pair{599, 479},
          std::pair{300, 20}, std::pair{300, 460}, std::pair{60, 240}, std::pair{540, 240}})
        EXPECT_TRUE(IsBlack(image.at(x, y))) << x << "," << y << " " << std::hex << image.at(x, y);
}

TEST_F(SceneTest, EveryFrameAdvancesTheAnglesBySingleSteps) {
    SceneObjects[0].steps[0] = 0.5f;
    SceneObjects[0].steps[1] = -0.25f;
    SceneObjects[0].steps[2] = 3.0f;
    float expected[3] = {0.0f, 0.0f, 0.0f};
    for (int frame = 0; frame < 130; ++frame) {
        RenderScene();
        for (int i = 0; i < 3; ++i) expected[i] += SceneObjects[0].steps[i];
    }
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Angles1()[i], expected[i]) << "axis " << i;
    EXPECT_GT(Angles1()[2], 360.0f) << "angles are not reduced modulo 360";
}

TEST_F(SceneTest, ObjectThreeSharesObjectTwosTranslationAndAngles) {
    EXPECT_EQ(SceneObjects[2].translation, SceneObjects[1].translation);
    EXPECT_EQ(SceneObjects[2].angles, SceneObjects[1].angles);
    EXPECT_NE(SceneObjects[2].steps, SceneObjects[1].steps);
    const float start[3][3] = {{0.0f, 0.0f, -5.0f}, {0.01f, 0.0f, 0.12f}, {0.01f, 0.0f, 0.12f}};
    for (int o = 0; o < 3; ++o)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(SceneObjects[o].translation[i], start[o][i]);
    // Object 2 advances the shared angles once a frame; object 3's zero steps add nothing.
    SceneObjects[1].steps[0] = 1.0f;
    RenderScene();
    RenderScene();
    EXPECT_EQ(SceneObjects[1].angles[0], 2.0f);
    SceneObjects[2].steps[1] = 0.5f;
    RenderScene();
    EXPECT_EQ(SceneObjects[1].angles[0], 3.0f);
    EXPECT_EQ(SceneObjects[1].angles[1], 0.5f) << "object 3 turns the storage it shares";
}

TEST_F(SceneTest, SteeringKeys) {
    struct Case {
        const char* keys;
        float step0, step1;
        double fieldOfView;
        float angle0;  // object 1's Y angle afterwards: A and D draw a frame each
    };
    // Steps change by the real 0.1 and are stored in single precision.
    const auto nudged = [](std::initializer_list<double> amounts) {
        float step = 0.0f;
        for (double a : amounts) step = static_cast<float>(step + a);
        return step;
    };
    const float a1 = nudged({-0.1}), a2 = nudged({-0.1, -0.1}), a3 = nudged({-0.1, -0.1, -0.1});
    const Case cases[] = {
        {"AAA", a3, 0.0f, 5.0, a1 + a2 + a3},
        {"D", 0.1f, 0.0f, 5.0, 0.1f},
        {"WWS", 0.0f, nudged({0.1, 0.1, -0.1}), 5.0, 0.0f},
        {"X", 0.0f, 0.0f, 0.0, 0.0f},
        {"XX", 0.0f, 0.0f, -5.0, 0.0f},
        {"Z", 0.0f, 0.0f, 10.0, 0.0f},
        {"ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ", 0.0f, 0.0f, 190.0, 0.0f},
        {"Q1 ", 0.0f, 0.0f, 5.0, 0.0f},
    };
    for (const Case& c : cases) {
        ResetSceneForTest();
        for (const char* k = c.keys; *k != '\0'; ++k) SteerScene(window, uint32_t(*k));
        EXPECT_EQ(Steps1()[0], c.step0) << c.keys;
        EXPECT_EQ(Steps1()[1], c.step1) << c.keys;
        EXPECT_EQ(fieldOfView, c.fieldOfView) << c.keys;
        EXPECT_EQ(Angles1()[0], c.angle0) << c.keys;
        EXPECT_EQ(Angles1()[1], 0.0f) << c.keys << ": W and S draw no frame";
    }
    ResetSceneForTest();
    for (const char* k = "AAADDD"; *k != '\0'; ++k) SteerScene(window, uint32_t(*k));
    EXPECT_NEAR(Steps1()[0], 0.0f, 1e-6f) << "D undoes A, up to single precision";
    EXPECT_FLOAT_EQ(a3, -0.3f);
}

TEST_F(SceneTest, AStepTurnsTheSphereFurtherEveryFrame) {
    for (int i = 0; i < 3; ++i) SteerScene(window, KEY_STEER_LEFT);
    const float before = Angles1()[0];
    for (int frame = 1; frame <= 4; ++frame) {
        RenderScene();
        EXPECT_FLOAT_EQ(Angles1()[0] - before, -0.3f * float(frame)) << "frame " << frame;
    }
}

TEST_F(SceneTest, FieldOfViewKeysSizeTheViewportFromTheWindowRectangle) {
    // Screen coordinates of the right and bottom edges: a moved window changes the viewport.
    MoveWindow(window, 40, 30, 600, 480, TRUE);
    SteerScene(window, KEY_NARROW);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 510);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double cot = 1.0 / std::tan(10.0 / 2.0 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], cot, 1e-4) << "aspect stays 1 whatever the viewport";
    EXPECT_NEAR(projection[5], cot, 1e-4);
    EXPECT_NEAR(projection[10], -(7.0 + 3.0) / (7.0 - 3.0), 1e-6);
    EXPECT_NEAR(projection[14], -2.0 * 7.0 * 3.0 / (7.0 - 3.0), 1e-6);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

// Column-major 4 x 4 products, as GL keeps them.
struct Matrix {
    double m[16];
    static Matrix Identity() { return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }
    Matrix operator*(const Matrix& b) const {
        Matrix r{};
        for (int c = 0; c < 4; ++c)
            for (int row = 0; row < 4; ++row)
                for (int k = 0; k < 4; ++k) r.m[c * 4 + row] += m[k * 4 + row] * b.m[c * 4 + k];
        return r;
    }
};
Matrix Translation(double x, double y, double z) {
    Matrix t = Matrix::Identity();
    t.m[12] = x, t.m[13] = y, t.m[14] = z;
    return t;
}
Matrix Rotation(double degrees, int axis) {  // 0: X, 1: Y, 2: Z
    const double c = std::cos(degrees * M_PI / 180.0), s = std::sin(degrees * M_PI / 180.0);
    Matrix r = Matrix::Identity();
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    r.m[a * 4 + a] = c, r.m[b * 4 + b] = c, r.m[a * 4 + b] = s, r.m[b * 4 + a] = -s;
    return r;
}

TEST_F(SceneTest, DrawSceneObjectTranslatesThenTurnsAboutYThenXThenZ) {
    const float translation[3] = {1.0f, 2.0f, 3.0f};
    const float steps[3] = {30.0f, 45.0f, 60.0f};
    float angles[3] = {10.0f, 0.0f, 0.0f};
    DrawSceneObject(99, translation, steps, angles);
    EXPECT_EQ(angles[0], 40.0f);
    EXPECT_EQ(angles[1], 45.0f);
    EXPECT_EQ(angles[2], 60.0f);
    const Matrix expected =
        Translation(1, 2, 3) * Rotation(40, 1) * Rotation(45, 0) * Rotation(60, 2);
    GLdouble actual[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, actual);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected.m[i], 1e-5) << "element " << i;
}

TEST_F(SceneTest, InitSceneSetsLightsListsAndSwitches) {
    InitScene();
    const GLenum lights[3] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2};
    const GLfloat positions[3][4] = {{-2, -2, -4, 0}, {2, 2, 4, 0}, {-2, 2, 4, 0}};
    const GLfloat ambients[3][4] = {{0.2f, 0, 0, 1}, {0, 0.2f, 0, 1}, {0, 0, 0.2f, 1}};
    for (int l = 0; l < 3; ++l) {
        EXPECT_TRUE(glIsEnabled(lights[l])) << l;
        GLfloat value[4];
        glGetLightfv(lights[l], GL_POSITION, value);  // eye coordinates: identity modelview
        for (int i = 0; i < 4; ++i) EXPECT_EQ(value[i], positions[l][i]) << l;
        glGetLightfv(lights[l], GL_AMBIENT, value);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(value[i], ambients[l][i]) << l;
        glGetLightfv(lights[l], GL_DIFFUSE, value);
        EXPECT_EQ(value[0] + value[1] + value[2] + value[3], 4.0f) << l;
        glGetLightfv(lights[l], GL_SPOT_CUTOFF, value);
        EXPECT_EQ(value[0], 180.0f) << l << ": the cutoff of -1 is refused";
        glGetLightfv(lights[l], GL_QUADRATIC_ATTENUATION, value);
        EXPECT_EQ(value[0], 1.0f) << l;
    }
    for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_CULL_FACE, GL_NORMALIZE})
        EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_TRUE(glIsList(1));
    EXPECT_TRUE(glIsList(2));
    EXPECT_FALSE(glIsList(3)) << "nothing compiles list 3: object 3 draws nothing";
    EXPECT_NE(SceneQuadrics[0], nullptr);
    EXPECT_NE(SceneQuadrics[1], nullptr);

    BuildSquareList(4);
    EXPECT_TRUE(glIsList(4));
    DeleteSceneQuadric();
    EXPECT_EQ(SceneQuadrics[0], nullptr);
    EXPECT_NE(SceneQuadrics[1], nullptr) << "only the first sphere's quadric goes";
    EXPECT_TRUE(glIsList(1)) << "its list stays";
}

TEST_F(SceneTest, LightZeroTurnsWithTheObjects) {
    // Placed in the frame after object 2: with object 1 turned half round about Y, light 0's
    // direction in eye coordinates is mirrored in x and z.
    InitScene();
    SceneObjects[0].steps[0] = 180.0f;
    RenderScene();
    GLfloat position[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    EXPECT_NEAR(position[0], 2.0f, 1e-4f);
    EXPECT_NEAR(position[1], -2.0f, 1e-4f);
    EXPECT_NEAR(position[2], 4.0f, 1e-4f);
    EXPECT_EQ(position[3], 0.0f);
}

}  // namespace
