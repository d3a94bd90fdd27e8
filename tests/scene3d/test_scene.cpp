// The scene library: shared points of a mesh, the orthographic box, and the painting of a
// scene into an OpenGL panel (skipped when no OpenGL context can be had).

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <GL/gl.h>

#include "scene3d/panneau.h"
#include "scene3d/scene.h"

using namespace karst;

namespace {

void AssureApplication()
{
    // Without a display the tests run on the offscreen platform, and the painting is skipped.
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char nom[] = "scene3d_tests";
    static char* argv[] = {nom, nullptr};
    if (!QApplication::instance())
        static QApplication app(argc, argv);
}

bool OpenGLDisponible()
{
    static const bool ok = [] {
        AssureApplication();
        QOpenGLContext contexte;
        if (!contexte.create())
            return false;
        QOffscreenSurface surface;
        surface.create();
        return contexte.makeCurrent(&surface);
    }();
    return ok;
}

// A square face of side 2 centred on (x, y, z), facing +z.
void Carre(Tentity& e, float x, float y, float z)
{
    tface* f = e.AddFace();
    f->AddVertex(x - 1, y - 1, z, 0, 0, 1);
    f->AddVertex(x + 1, y - 1, z, 0, 0, 1);
    f->AddVertex(x + 1, y + 1, z, 0, 0, 1);
    f->AddVertex(x - 1, y + 1, z, 0, 0, 1);
}

}  // namespace

TEST(Maillage, FacesOfOneColourShareTheirCorners)
{
    Tentity e;
    e.SetColor(10, 20, 30);
    tface* a = e.AddFace();
    EXPECT_EQ(a->Color, (CouleurOctets{10, 20, 30}));
    a->AddVertex(0, 0, 0, 0, 0, 1);
    a->AddVertex(1, 0, 0, 0, 0, 1);
    tface* b = e.AddFace();
    Tvertex* v = b->AddVertex(1, 0, 0, 1, 0, 0);
    ASSERT_EQ(e.Points.size(), 2u);
    EXPECT_EQ(v->Point, a->Vertices[1]->Point);
    EXPECT_EQ(v->Point->RefCount, 2);
    EXPECT_EQ(v->Point->Vertices.size(), 2u);
    // Each vertex keeps its own normal on the shared point.
    EXPECT_EQ(a->Vertices[1]->Normal.z, 1);
    EXPECT_EQ(v->Normal.x, 1);

    // Another colour gets a point of its own at the same place.
    tface* c = e.AddFace();
    c->SetColor(1, 2, 3);
    Tvertex* w = c->AddVertex(1, 0, 0, 0, 0, 1);
    EXPECT_EQ(e.Points.size(), 3u);
    EXPECT_NE(w->Point, v->Point);
    EXPECT_EQ(w->Point->Color, (CouleurOctets{1, 2, 3}));
    EXPECT_EQ(v->Point->RefCount, 2);
}

TEST(Maillage, CornersWithinOneHundredthShareAPoint)
{
    Tentity e;
    tface* f = e.AddFace();
    f->AddVertex(0, 0, 0, 0, 0, 1);
    f->AddVertex(0.005f, 0, 0, 0, 0, 1);
    EXPECT_EQ(e.Points.size(), 1u);
    f->AddVertex(0.02f, 0, 0, 0, 0, 1);
    EXPECT_EQ(e.Points.size(), 2u);
    EXPECT_EQ(e.FindPoint(0, 0.0099f, 0), e.Points[0].get());
    EXPECT_EQ(e.FindPoint(0, 0, 0.5f), nullptr);
}

TEST(Maillage, MovingASharedCornerMovesThatVertexAlone)
{
    Tentity e;
    tface* a = e.AddFace();
    Tvertex* va = a->AddVertex(1, 1, 1, 0, 0, 1);
    tface* b = e.AddFace();
    Tvertex* vb = b->AddVertex(1, 1, 1, 0, 0, 1);
    ASSERT_EQ(va->Point, vb->Point);
    Tpoint* commun = va->Point;
    vb->SetPosition(5, 6, 7);
    EXPECT_EQ(va->Point, commun);
    EXPECT_EQ(commun->X, 1);
    EXPECT_EQ(commun->RefCount, 1);
    EXPECT_EQ(commun->Vertices, std::vector<Tvertex*>{va});
    EXPECT_NE(vb->Point, commun);
    EXPECT_EQ(vb->Point->X, 5);
    EXPECT_EQ(vb->Point->Z, 7);
    EXPECT_EQ(vb->Point->RefCount, 1);
    EXPECT_EQ(e.Points.size(), 2u);
    // A point used once is moved in place.
    va->SetPosition(2, 2, 2);
    EXPECT_EQ(va->Point, commun);
    EXPECT_EQ(commun->X, 2);
    EXPECT_EQ(e.Points.size(), 2u);
}

TEST(Maillage, SceneMovesAndTurnsEveryEntity)
{
    TMaScene s;
    s.Entities.push_back(std::make_unique<Tentity>());
    s.Entities.push_back(std::make_unique<Tentity>());
    s.Translation(1, 2, 3);
    s.Rotation(-20, 330, 0);
    for (const auto& e : s.Entities) {
        EXPECT_EQ(e->Position.z, 3);
        EXPECT_EQ(e->Angles.x, -20);
        EXPECT_EQ(e->Angles.y, 330);
    }
    ASSERT_EQ(s.Cameras.size(), 1u);
    EXPECT_EQ(s.ActiveCamera, s.Cameras[0].get());
    EXPECT_EQ(s.ActiveCamera->Target[2], -100);
    // No panel yet: nothing is painted, nothing fails.
    s.Redraw();
    EXPECT_EQ(s.Active, 0);
}

TEST(Maillage, LightsNumberedOneToEight)
{
    EXPECT_EQ(Tlight(1).Number, static_cast<uint32_t>(GL_LIGHT0));
    EXPECT_EQ(Tlight(8).Number, static_cast<uint32_t>(GL_LIGHT7));
    EXPECT_EQ(Tlight(0).Number, 0u);
    EXPECT_EQ(Tlight(9).Number, 0u);
    Tlight l(2);
    l.SetDirection(0, -1, 0);
    EXPECT_EQ(l.Source->Normal.y, -1);
    l.Source->SetPosition(0, 1000, 0);
    EXPECT_EQ(l.PointSource->Y, 1000);
}

TEST(Projection, OrthographicBoxKeepsTwelveOnTheShorterSide)
{
    BoiteOrtho b = BoiteOrthographique(400, 300);
    EXPECT_FLOAT_EQ(b.gauche, -16);
    EXPECT_FLOAT_EQ(b.droite, 16);
    EXPECT_FLOAT_EQ(b.bas, -12);
    EXPECT_FLOAT_EQ(b.haut, 12);
    EXPECT_FLOAT_EQ(b.proche, -48);
    EXPECT_FLOAT_EQ(b.loin, 48);
    b = BoiteOrthographique(300, 400);
    EXPECT_FLOAT_EQ(b.gauche, -12);
    EXPECT_FLOAT_EQ(b.droite, 12);
    EXPECT_FLOAT_EQ(b.bas, -16);
    EXPECT_FLOAT_EQ(b.haut, 16);
}

class Peinture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OpenGLDisponible())
            GTEST_SKIP() << "pas de contexte OpenGL";
    }
};

TEST_F(Peinture, BackgroundAndALitSquare)
{
    PanneauOpenGL panneau;
    panneau.resize(80, 60);
    TMaScene scene;
    scene.Background = {0, 128 / 255.0f, 1};
    auto e = std::make_unique<Tentity>();
    e->SetColor(255, 0, 0);
    Carre(*e, 0, 0, 0);
    scene.Entities.push_back(std::move(e));
    scene.Lights.push_back(std::make_unique<Tlight>(2));
    scene.ZFar = 1000;
    scene.CreateContext(panneau);
    EXPECT_EQ(scene.Active, 1);
    EXPECT_EQ(panneau.Scene(), &scene);
    scene.SetViewport(80, 60);
    // The square 10 in front of the camera, which looks along -z.
    scene.Translation(0, 0, -10);
    scene.Redraw();
    const QImage image = panneau.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.width(), 80);
    const QRgb coin = image.pixel(1, 1);
    EXPECT_EQ(qRed(coin), 0);
    EXPECT_EQ(qGreen(coin), 128);
    EXPECT_EQ(qBlue(coin), 255);
    const QRgb centre = image.pixel(40, 30);
    EXPECT_GT(qRed(centre), 0);
    EXPECT_EQ(qGreen(centre), 0);
    EXPECT_EQ(qBlue(centre), 0);

    // Turned half a turn, the square shows its back, which is culled.
    scene.Rotation(0, 180, 0);
    const QImage dos = panneau.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(qBlue(dos.pixel(40, 30)), 255);
}

TEST_F(Peinture, ReleasedSceneLeavesThePanelBlack)
{
    PanneauOpenGL panneau;
    panneau.resize(40, 40);
    {
        TMaScene scene;
        scene.Background = {1, 1, 1};
        scene.CreateContext(panneau);
    }
    EXPECT_EQ(panneau.Scene(), nullptr);
    const QImage image = panneau.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(qRed(image.pixel(20, 20)), 0);
}

TEST_F(Peinture, OnlyPlacedLightsSetAPositionAndASpot)
{
    PanneauOpenGL panneau;
    panneau.resize(20, 20);
    TMaScene scene;
    auto sans = std::make_unique<Tlight>(2);
    sans->Source->SetPosition(5, 6, 7);
    auto spot = std::make_unique<Tlight>(3);
    spot->Kind = Tlight::Spot;
    spot->CutOff = 90;
    spot->Exponent = 0;
    spot->SetDirection(0, -1, 0);
    spot->Source->SetPosition(0, 1000, 0);
    scene.Lights.push_back(std::move(sans));
    scene.Lights.push_back(std::move(spot));
    scene.CreateContext(panneau);
    panneau.grabFramebuffer();
    panneau.makeCurrent();
    GLfloat p[4], coupure = 0, diffuse[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, p);
    // The light without position keeps OpenGL's default direction.
    EXPECT_FLOAT_EQ(p[0], 0);
    EXPECT_FLOAT_EQ(p[2], 1);
    EXPECT_FLOAT_EQ(p[3], 0);
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &coupure);
    EXPECT_FLOAT_EQ(coupure, 180);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.25f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    // The spot, seen from the camera at the origin: its position and cone as set.
    glGetLightfv(GL_LIGHT2, GL_POSITION, p);
    EXPECT_FLOAT_EQ(p[1], 1000);
    EXPECT_FLOAT_EQ(p[3], 1);
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, &coupure);
    EXPECT_FLOAT_EQ(coupure, 90);
    panneau.doneCurrent();
}
