#include "scene3d/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfenv>

#include "scene3d/panneau.h"

namespace karst {

// ---- Points and vertices ----------------------------------------------------------------------

void Tpoint::SetPosition(float x, float y, float z)
{
    X = x;
    Y = y;
    Z = z;
}

void Tpoint::SetColor(uint8_t r, uint8_t g, uint8_t b) { Color = {r, g, b}; }

Tvertex::Tvertex(tface* face, float nx, float ny, float nz) : Normal{nx, ny, nz}, Face(face) {}

void Tvertex::DetachPoint()
{
    if (!Point || Point->RefCount <= 1 || !Face || !Face->Owner)
        return;
    Tpoint* ancien = Point;
    --ancien->RefCount;
    auto& liste = ancien->Vertices;
    liste.erase(std::remove(liste.begin(), liste.end(), this), liste.end());
    Point = Face->Owner->NouveauPoint(ancien->X, ancien->Y, ancien->Z, ancien->Color);
    Point->RefCount = 1;
    Point->Vertices.push_back(this);
}

void Tvertex::SetPosition(float x, float y, float z)
{
    DetachPoint();
    if (Point)
        Point->SetPosition(x, y, z);
}

// ---- Faces and entities -----------------------------------------------------------------------

tface::tface(Tentity* owner) : Owner(owner) {}

void tface::SetColor(uint8_t r, uint8_t g, uint8_t b) { Color = {r, g, b}; }

Tvertex* tface::AddVertex(float x, float y, float z, float nx, float ny, float nz)
{
    auto v = std::make_unique<Tvertex>(this, nx, ny, nz);
    Tpoint* p = Owner->FindPoint(x, y, z);
    if (!p || !(p->Color == Color))
        p = Owner->NouveauPoint(x, y, z, Color);
    v->Point = p;
    p->Vertices.push_back(v.get());
    ++p->RefCount;
    Vertices.push_back(std::move(v));
    return Vertices.back().get();
}

void tface::Redraw() const
{
    glDisable(GL_TEXTURE_2D);  // no face of this program is textured
    glBegin(GL_POLYGON);
    for (const auto& v : Vertices) {
        glNormal3f(v->Normal.x, v->Normal.y, v->Normal.z);
        glColor4ub(v->Point->Color.r, v->Point->Color.g, v->Point->Color.b, Owner->Alpha);
        glVertex3f(v->Point->X, v->Point->Y, v->Point->Z);
    }
    glEnd();
}

void Tentity::SetColor(uint8_t r, uint8_t g, uint8_t b) { Color = {r, g, b}; }

void Tentity::Move(float x, float y, float z) { Position = {x, y, z}; }

void Tentity::Rotate(float ax, float ay, float az) { Angles = {ax, ay, az}; }

tface* Tentity::AddFace()
{
    Faces.push_back(std::make_unique<tface>(this));
    tface* f = Faces.back().get();
    f->Color = Color;
    return f;
}

Tpoint* Tentity::FindPoint(float x, float y, float z) const
{
    for (const auto& p : Points) {
        const float dx = p->X - x, dy = p->Y - y, dz = p->Z - z;
        if (dx * dx + dy * dy + dz * dz < 0.0001f)
            return p.get();
    }
    return nullptr;
}

Tpoint* Tentity::NouveauPoint(float x, float y, float z, CouleurOctets couleur)
{
    Points.push_back(std::make_unique<Tpoint>(x, y, z));
    Points.back()->Color = couleur;
    return Points.back().get();
}

void Tentity::Redraw() const
{
    glPushMatrix();
    static const GLenum modes[3] = {GL_POINT, GL_LINE, GL_FILL};
    glPolygonMode(GL_FRONT_AND_BACK, modes[std::min<int>(PolygonMode, 2)]);
    glTranslatef(Position.x, Position.y, Position.z);
    glRotatef(Angles.x, 1, 0, 0);
    glRotatef(Angles.y, 0, 1, 0);
    glRotatef(Angles.z, 0, 0, 1);
    for (const auto& f : Faces)
        f->Redraw();
    glPopMatrix();
}

// ---- Camera and lights ------------------------------------------------------------------------

void Tcamera::LookAt() const
{
    gluLookAt(Position[0], Position[1], Position[2], Target[0], Target[1], Target[2], Up[0], Up[1], Up[2]);
}

Tlight::Tlight(int n)
{
    PointSource = std::make_unique<Tpoint>(0.0f, 0.0f, 0.0f);
    Source = std::make_unique<Tvertex>(nullptr, 0.0f, 0.0f, 0.0f);
    Source->Point = PointSource.get();
    PointSource->RefCount = 1;
    PointSource->Vertices.push_back(Source.get());
    if (n >= 1 && n <= 8)
        Number = GL_LIGHT0 + static_cast<uint32_t>(n - 1);
}

void Tlight::Redraw() const
{
    if (Number == 0)
        return;
    const GLenum l = Number;
    if (Kind != SansPosition) {
        const GLfloat position[4] = {PointSource->X, PointSource->Y, PointSource->Z, 1};
        if (Kind == Spot) {
            glLightf(l, GL_SPOT_CUTOFF, CutOff);
            glLightf(l, GL_SPOT_EXPONENT, Exponent);
            const GLfloat direction[4] = {Source->Normal.x, Source->Normal.y, Source->Normal.z, 1};
            glLightfv(l, GL_SPOT_DIRECTION, direction);
        }
        glLightfv(l, GL_POSITION, position);
    }
    glLightfv(l, GL_AMBIENT, Ambient.data());
    glLightfv(l, GL_DIFFUSE, Diffuse.data());
    glLightfv(l, GL_SPECULAR, Specular.data());
    switch (AttenuationKind) {
    case Constante: glLightf(l, GL_CONSTANT_ATTENUATION, Attenuation); break;
    case Lineaire: glLightf(l, GL_LINEAR_ATTENUATION, Attenuation); break;
    case Quadratique: glLightf(l, GL_QUADRATIC_ATTENUATION, Attenuation); break;
    default: break;
    }
    glEnable(l);
}

// ---- Scene ------------------------------------------------------------------------------------

TsceneGL::TsceneGL()
{
    Cameras.push_back(std::make_unique<Tcamera>());
    ActiveCamera = Cameras.back().get();
}

TsceneGL::~TsceneGL()
{
    if (Active)
        ReleaseContext();
}

void TsceneGL::CreateContext(PanneauOpenGL& panneau)
{
    if (panneau_ && panneau_ != &panneau)
        ReleaseContext();
    panneau_ = &panneau;
    panneau.Attache(this);
    Active = 1;
    SetViewport(panneau.LargeurPixels(), panneau.HauteurPixels());
}

void TsceneGL::ReleaseContext()
{
    if (panneau_)
        panneau_->Detache(this);
    panneau_ = nullptr;
    Active = 0;
}

BoiteOrtho BoiteOrthographique(int largeur, int hauteur)
{
    if (hauteur < largeur) {
        const float r = static_cast<float>(largeur) / static_cast<float>(hauteur);
        return {-12 * r, 12 * r, -12, 12, -48, 48};
    }
    // A panel of no width has no proportions: keep the square box.
    const float r = largeur > 0 ? static_cast<float>(hauteur) / static_cast<float>(largeur) : 1.0f;
    return {-12, 12, -12 * r, 12 * r, -48, 48};
}

void TsceneGL::SetViewport(int largeur, int hauteur)
{
    largeur_ = largeur;
    hauteur_ = hauteur;
    // The panel's context is current only while it paints; the projection is set there.
}

void TsceneGL::AppliqueProjection() const
{
    int largeur = largeur_, hauteur = hauteur_;
    if (largeur <= 0 || hauteur <= 0) {
        // No size given yet: the drawing area the panel set up for this painting.
        GLint vue[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, vue);
        largeur = vue[2];
        hauteur = vue[3];
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A panel folded to no height keeps a square aspect rather than dividing by zero.
    const double aspect = hauteur > 0 ? static_cast<double>(largeur) / hauteur : 1.0;
    if (Perspective) {
        gluPerspective(Fovy, aspect, ZNear, ZFar);
    } else {
        const BoiteOrtho b = BoiteOrthographique(largeur, hauteur);
        glOrtho(b.gauche, b.droite, b.bas, b.haut, b.proche, b.loin);
    }
    glViewport(0, 0, largeur, hauteur);
}

void TsceneGL::Redraw()
{
    if (!Active || !panneau_)
        return;
    panneau_->update();
}

void TsceneGL::Peint() const
{
    // Painting runs with every floating-point exception masked; the state is restored after.
    std::fenv_t etat;
    std::feholdexcept(&etat);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    AppliqueProjection();
    glMatrixMode(GL_MODELVIEW);
    const GLfloat noir[4] = {0, 0, 0, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noir);
    glLoadIdentity();
    if (ActiveCamera)
        ActiveCamera->LookAt();
    for (const auto& l : Lights)
        l->Redraw();
    glClearColor(Background[0], Background[1], Background[2], 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_COLOR_MATERIAL);
    if (Fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, FogMode);
        glFogfv(GL_FOG_COLOR, FogColor.data());
        if (FogMode != GL_LINEAR)
            glFogf(GL_FOG_DENSITY, FogDensity);
        glFogf(GL_FOG_START, FogStart);
        glFogf(GL_FOG_END, FogEnd);
    } else {
        glDisable(GL_FOG);
    }
    glDisable(GL_TEXTURE_1D);
    if (Textures)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    for (const auto& e : Entities)
        e->Redraw();

    std::feclearexcept(FE_ALL_EXCEPT);
    std::fesetenv(&etat);
}

void TMaScene::Rotation(float ax, float ay, float az)
{
    for (const auto& e : Entities)
        e->Rotate(ax, ay, az);
}

void TMaScene::Translation(float x, float y, float z)
{
    for (const auto& e : Entities)
        e->Move(x, y, z);
}

}  // namespace karst
