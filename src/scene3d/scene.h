#pragma once
// A small retained-mode scene over OpenGL 1.1 and GLU: meshes of polygons whose corners
// share points, a look-at camera, lights, and a scene that paints them into an OpenGL
// panel. Every painting resends the whole geometry in immediate mode.
//
// Ownership: an entity owns its faces and points, a face its vertices, a light its source
// vertex and point, a scene its entities, lights and cameras.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace karst {

class PanneauOpenGL;
class Tentity;
class tface;
class Tvertex;

struct CouleurOctets {
    uint8_t r = 128, g = 128, b = 128;
    bool operator==(const CouleurOctets&) const = default;
};

struct Vecteur3f {
    float x = 0, y = 0, z = 0;
};

// A position shared by the vertices of one entity.
class Tpoint {
public:
    Tpoint(float x, float y, float z) : X(x), Y(y), Z(z) {}
    float X, Y, Z;
    CouleurOctets Color;
    uint32_t RefCount = 0;           // vertices using it
    std::vector<Tvertex*> Vertices;  // the vertices using it

    void SetPosition(float x, float y, float z);
    void SetColor(uint8_t r, uint8_t g, uint8_t b);
};

// A corner of a face: its normal and the shared point it stands on.
class Tvertex {
public:
    Tvertex(tface* face, float nx, float ny, float nz);
    Vecteur3f Normal;
    Tpoint* Point = nullptr;
    tface* Face = nullptr;  // null for a light's source
    float U = 0, V = 0;

    // Gives the vertex a point of its own when others share it.
    void DetachPoint();
    // Moves this corner alone: the faces that shared its point stay where they are.
    void SetPosition(float x, float y, float z);
};

// One polygon of an entity.
class tface {
public:
    explicit tface(Tentity* owner);
    std::vector<std::unique_ptr<Tvertex>> Vertices;
    CouleurOctets Color;
    Tentity* Owner;
    uint8_t Textured = 0;

    void SetColor(uint8_t r, uint8_t g, uint8_t b);
    // A corner at (x, y, z) with normal (nx, ny, nz); it shares an existing point of the
    // entity that lies within 0.01 of it and has the face's colour.
    Tvertex* AddVertex(float x, float y, float z, float nx, float ny, float nz);
    void Redraw() const;
};

// A mesh: faces over shared points, moved and turned as a whole.
class Tentity {
public:
    Tentity() = default;
    Tentity(const Tentity&) = delete;
    Tentity& operator=(const Tentity&) = delete;

    std::vector<std::unique_ptr<tface>> Faces;
    std::vector<std::unique_ptr<Tpoint>> Points;
    CouleurOctets Color;
    uint8_t Alpha = 255;
    Vecteur3f Position;  // translation
    Vecteur3f Angles;    // degrees about x, y and z
    int32_t Identifiant = 0;
    uint8_t PolygonMode = 2;  // 0 points, 1 outlines, 2 filled

    void SetColor(uint8_t r, uint8_t g, uint8_t b);
    void Move(float x, float y, float z);
    void Rotate(float ax, float ay, float az);
    tface* AddFace();
    // The first point closer than 0.01 (squared distance below 0.0001), or null.
    Tpoint* FindPoint(float x, float y, float z) const;
    // A new point of the entity.
    Tpoint* NouveauPoint(float x, float y, float z, CouleurOctets couleur);
    void Redraw() const;
};

class Tcamera {
public:
    std::array<double, 3> Position{0, 0, 0};
    std::array<double, 3> Target{0, 0, -100};
    std::array<double, 3> Up{0, 1, 0};

    void SetPosition(double x, double y, double z) { Position = {x, y, z}; }
    void SetUp(double x, double y, double z) { Up = {x, y, z}; }
    void LookAt() const;
};

class Tlight {
public:
    enum : int32_t { Positionnelle = 0, Spot = 1, SansPosition = 2 };
    enum : int32_t { Constante = 1, Lineaire = 2, Quadratique = 3 };

    // Light n of 1..8; any other number leaves the light without an OpenGL light, and
    // painting then skips it.
    explicit Tlight(int n);
    Tlight(const Tlight&) = delete;
    Tlight& operator=(const Tlight&) = delete;

    // The point holds the position, the vertex normal the spot direction.
    std::unique_ptr<Tpoint> PointSource;
    std::unique_ptr<Tvertex> Source;
    std::array<float, 4> Ambient{0.5f, 0.5f, 0.5f, 1};
    std::array<float, 4> Diffuse{0.25f, 0.25f, 0.25f, 1};
    std::array<float, 4> Specular{0.1f, 0.1f, 0.1f, 1};
    uint32_t Number = 0;  // GL_LIGHT0 + n - 1, 0 when unset
    int32_t Kind = SansPosition;
    float CutOff = 60;
    float Exponent = 100;
    float Attenuation = 0.01f;
    int32_t AttenuationKind = Lineaire;

    void SetDirection(float x, float y, float z) { Source->Normal = {x, y, z}; }
    void Redraw() const;
};

// The scene of one OpenGL panel.
class TsceneGL {
public:
    TsceneGL();
    virtual ~TsceneGL();
    TsceneGL(const TsceneGL&) = delete;
    TsceneGL& operator=(const TsceneGL&) = delete;

    std::vector<std::unique_ptr<Tentity>> Entities;
    std::vector<std::unique_ptr<Tlight>> Lights;
    std::vector<std::unique_ptr<Tcamera>> Cameras;
    uint8_t Active = 0;       // attached to a panel
    uint8_t Perspective = 1;  // else orthographic
    float Fovy = 30, ZNear = 1, ZFar = 100;
    uint8_t Textures = 1;
    std::array<float, 3> Background{0, 0, 0};
    std::array<float, 4> FogColor{0, 0, 0, 0};
    float FogDensity = 0, FogStart = 0, FogEnd = 0;
    uint8_t Fog = 0;
    int32_t FogMode = 0;
    Tcamera* ActiveCamera = nullptr;  // the first camera, made by the constructor

    // Attaches the scene to the panel, which paints it from then on, in a viewport of the
    // panel's size.
    void CreateContext(PanneauOpenGL& panneau);
    void ReleaseContext();
    PanneauOpenGL* Panneau() const { return panneau_; }
    // The projection of a drawing area in pixels, set again on every resize.
    void SetViewport(int largeur, int hauteur);
    // Asks the panel to paint the scene; nothing before CreateContext.
    void Redraw();
    // Paints the scene in the current OpenGL context (the panel's painting calls it).
    void Peint() const;

private:
    friend class PanneauOpenGL;
    void AppliqueProjection() const;
    PanneauOpenGL* panneau_ = nullptr;
    int largeur_ = 0, hauteur_ = 0;
};

// The program's scene: the whole scene moved and turned at once.
class TMaScene : public TsceneGL {
public:
    void Rotation(float ax, float ay, float az);
    void Translation(float x, float y, float z);
};

// The orthographic box of a drawing area: half-size 12 on the shorter side.
struct BoiteOrtho {
    float gauche, droite, bas, haut, proche, loin;
};
BoiteOrtho BoiteOrthographique(int largeur, int hauteur);

}  // namespace karst
