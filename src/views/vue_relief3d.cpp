// The perspective's 3D passage model: the OpenGL scene of the view window's panel, its
// camera, and the model part of the VRML file.

#include <cmath>
#include <numbers>

#include "platform/services.h"
#include "scene3d/scene.h"
#include "survey/nombres.h"
#include "views/contexte.h"
#include "views/modele3d.h"
#include "views/options.h"
#include "views/svg.h"
#include "views/vue_relief.h"

namespace karst {

namespace {

constexpr double kPi = std::numbers::pi;

struct Octets {
    uint8_t r, g, b;
};

Octets OctetsCouleur(uint32_t c)
{
    return {static_cast<uint8_t>(c % 256), static_cast<uint8_t>((c / 256) % 256),
            static_cast<uint8_t>((c / 65536) % 256)};
}

}  // namespace

Modele3D TPerspective::Modele(uint16_t mode)
{
    const TOptions_Relief* o = contexte_.OptionsRelief();
    const ListeFiches* fiches = FichesCourantes();
    if (!Donnees || !o || !fiches)
        return {};
    Centre = {(BoiteMin.X.d() + BoiteMax.X.d()) / 2, (BoiteMin.Y.d() + BoiteMax.Y.d()) / 2,
              (BoiteMin.Z.d() + BoiteMax.Z.d()) / 2};
    const float max = mode == ModeContrainte ? DeformationMax(*fiches) : 1.0f;
    const uint32_t gris = static_cast<uint32_t>(o->CouleurGalerie);
    return ConstruitModele3D(*fiches, *o, [&](const TGalerie& g) {
        const uint32_t c = mode == ModeCouleur || mode == ModeContrainte ? CouleurGalerie(g, mode, max) : gris;
        // Black, which is also a gallery without a colour of its own, takes the grey.
        return c == 0 ? gris : c;
    });
}

// ---- OpenGL scene -----------------------------------------------------------------------------

void TPerspective::Construit3D(PanneauOpenGL& panneau, uint16_t mode)
{
    Sablier sablier;
    Scene.reset();
    Scene = std::make_unique<TMaScene>();
    const TOptions_Relief* o = contexte_.OptionsRelief();
    const Octets fond = OctetsCouleur(o ? static_cast<uint32_t>(o->CouleurFond) : 0);
    Scene->Background = {fond.r / 255.0f, fond.g / 255.0f, fond.b / 255.0f};

    const Modele3D modele = Modele(mode);
    const double cx = Centre[0], cy = Centre[1], cz = Centre[2];
    // The scene's frame: x east, y up, z south, from the centre.
    auto sommet = [&](tface& face, double x, double y, double z, const Coin3D& n) {
        face.AddVertex(static_cast<float>(x - cx), static_cast<float>(z - cz), static_cast<float>(cy - y),
                       static_cast<float>(n.X), static_cast<float>(n.Z), static_cast<float>(-n.Y));
    };
    for (const Tube3D& tube : modele.Tubes) {
        auto entite = std::make_unique<Tentity>();
        const Octets c = OctetsCouleur(tube.Couleur);
        entite->SetColor(c.r, c.g, c.b);
        const int n = static_cast<int>(tube.Sections.size()) - 1;
        auto coin = [&](int numero) -> const Coin3D& {
            return tube.Sections[static_cast<std::size_t>(numero / 4)][static_cast<std::size_t>(numero % 4)];
        };
        const auto faces = FacesTube(n);
        for (std::size_t fi = 0; fi < faces.size(); ++fi) {
            const auto& f = faces[fi];
            // The start cap's normal comes from its corners 0, 1 and 2.
            const Coin3D normale =
                fi == 0 ? NormaleFace(coin(0), coin(1), coin(2)) : NormaleFace(coin(f[0]), coin(f[1]), coin(f[2]));
            tface& face = *entite->AddFace();
            for (int k : f)
                sommet(face, coin(k).X, coin(k).Y, coin(k).Z, normale);
        }
        Scene->Entities.push_back(std::move(entite));
    }

    if (o && o->Cylindre) {
        const Octets c = OctetsCouleur(static_cast<uint32_t>(o->CouleurCylindre));
        const int nf = o->N_Face;
        for (const Cylindre3D& cyl : modele.Cylindres) {
            auto entite = std::make_unique<Tentity>();
            entite->SetColor(c.r, c.g, c.b);
            const double x = cyl.Station->X, y = cyl.Station->Y, z = cyl.Station->Z, r = cyl.Rayon;
            const double h1 = cyl.Dessus, h2 = -static_cast<double>(cyl.Dessous);
            auto bord = [&](tface& face, double phi, double h, const Coin3D& n) {
                sommet(face, x + r * std::cos(phi), y + r * std::sin(phi), z + h, n);
            };
            auto axe = [&](tface& face, double h, const Coin3D& n) { sommet(face, x, y, z + h, n); };
            // Normals in the world frame, turned into the scene's by sommet.
            auto radiale = [](double phi) { return Coin3D{std::cos(phi), std::sin(phi), 0}; };
            const Coin3D haut{0, 0, 1}, bas{0, 0, -1};
            for (int j = 0; j < nf; ++j) {
                const double p0 = static_cast<double>(j) / nf * 2 * kPi, p1 = static_cast<double>(j + 1) / nf * 2 * kPi;
                tface& cote = *entite->AddFace();
                bord(cote, p0, h1, radiale(p0));
                bord(cote, p0, h2, radiale(p0));
                bord(cote, p1, h2, radiale(p1));
                bord(cote, p1, h1, radiale(p1));
                tface& dessus = *entite->AddFace();
                bord(dessus, p0, h1, haut);
                bord(dessus, p1, h1, haut);
                axe(dessus, h1, haut);
                tface& dessous = *entite->AddFace();
                bord(dessous, p0, h2, bas);
                axe(dessous, h2, bas);
                bord(dessous, p1, h2, bas);
            }
            Scene->Entities.push_back(std::move(entite));
        }
    }

    if (Premier3D) {
        Premier3D = false;
        Azimut3D = 360 - Azimut;
        Elevation3D = Elevation;
        const double d = std::fabs(BoiteMin.X.d() - BoiteMax.X.d()) + std::fabs(BoiteMin.Y.d() - BoiteMax.Y.d());
        const double az = DegresEnRadians(Azimut3D), el = DegresEnRadians(Elevation3D);
        Camera = {-d * std::cos(el) * std::sin(az), -d * std::sin(el), d * std::cos(el) * std::cos(az)};
    }

    Scene->Lights.push_back(std::make_unique<Tlight>(2));
    Scene->ZFar = 1000000;
    Scene->CreateContext(panneau);
    PlaceCamera();
}

void TPerspective::PlaceCamera()
{
    if (!Scene)
        return;
    const double az = DegresEnRadians(Azimut3D), el = DegresEnRadians(Elevation3D);
    const double x = Camera[0], y = Camera[1], z = Camera[2];
    const double a = x * std::cos(az) + z * std::sin(az);
    const double b = -x * std::sin(az) * std::sin(el) + y * std::cos(el) + z * std::cos(az) * std::sin(el);
    const double c = -x * std::sin(az) * std::cos(el) - y * std::sin(el) + z * std::cos(az) * std::cos(el);
    Scene->Translation(static_cast<float>(-a), static_cast<float>(-b), static_cast<float>(-c));
    Scene->Rotation(static_cast<float>(-Elevation3D), static_cast<float>(Azimut3D), 0);
    Scene->Redraw();
}

// ---- VRML -------------------------------------------------------------------------------------

namespace {

std::string F(long double v, int largeur, int decimales) { return FormatLargeur(v, largeur, decimales); }

// "r g b " of a colour, each byte / 256 with three decimals.
std::string Diffuse(uint32_t couleur)
{
    const Octets c = OctetsCouleur(couleur);
    return F(c.r / 256.0L, 1, 3) + " " + F(c.g / 256.0L, 1, 3) + " " + F(c.b / 256.0L, 1, 3) + " ";
}

// A text between the double quotes of a VRML string, where '"' and '\\' are escaped.
std::string ChaineVrml(const std::string& texte)
{
    std::string r;
    for (const char c : texte) {
        if (c == '"' || c == '\\')
            r += '\\';
        r += c;
    }
    return r;
}

std::string Indices(std::initializer_list<int> liste)
{
    std::string s = "      ";
    for (int i : liste)
        s += FormatEntier(i) + ", ";
    return s + "-1";
}

}  // namespace

void TPerspective::EcritVRML(FichierSVG& f, uint16_t mode, const OptionsVRML& ov)
{
    Sablier sablier;
    const TOptions_Relief* o = contexte_.OptionsRelief();
    if (!Donnees || !o || !FichesCourantes())
        return;
    const Modele3D modele = Modele(mode);
    const long double cx = ov.Centre ? Centre[0] : 0, cy = ov.Centre ? Centre[1] : 0, cz = ov.Centre ? Centre[2] : 0;
    // A world point as VRML's (x, y up, z south).
    auto triple = [&](long double x, long double y, long double z) {
        return F(x - cx, 6, 2) + " " + F(z - cz, 6, 2) + " " + F(cy - y, 6, 2);
    };
    const std::string ambiance = F(ov.Ambiance, 1, 2);
    const bool aspectCommun = ov.Texture || mode == ModeNormal;

    f.Ligne(ov.Centre ? "#Karstomat " + F(Centre[0], 6, 2) + " " + F(Centre[2], 6, 2) + " " + F(-Centre[1], 6, 2)
                      : std::string("#Karstomat 0 0 0"));
    f.Ligne("");
    if (aspectCommun) {
        f.Ligne("DEF AspectGalerie Appearance {");
        if (ov.Texture)
            f.Ligne("  texture ImageTexture { url [\"" + ChaineVrml(ov.AdresseTexture) + "\"] }");
        f.Ligne("  material Material {");
        f.Ligne(std::string("    diffuseColor ") + (ov.Texture ? " 1 1 1" : " 0.75 0.75 0.75"));
        f.Ligne("    ambientIntensity " + ambiance);
        f.Ligne("  }");
        f.Ligne("}");
        f.Ligne("");
        if (ov.Texture) {
            f.Ligne(" DEF MaTextureCoordinate TextureCoordinate {");
            f.Ligne(" point [ 0 1, 0 0, 1 0, 1 1 ]");
            f.Ligne("}");
            f.Ligne("");
        }
    }

    for (const Tube3D& tube : modele.Tubes) {
        const int n = static_cast<int>(tube.Sections.size()) - 1;
        f.Ligne("Shape {");
        f.Ligne("  geometry IndexedFaceSet {");
        if (ov.Lissage)
            f.Ligne("    creaseAngle 6.28");
        f.Ligne("    coord Coordinate {");
        f.Ligne("      point [ ");
        for (const Section3D& s : tube.Sections)
            for (const Coin3D& c : s)
                f.Ligne("        " + triple(c.X, c.Y, c.Z) + ",");
        f.Ligne("      ]");
        f.Ligne("    }");
        f.Ligne("    coordIndex\t[");
        // The caps whole, each side as two triangles.
        const auto faces = FacesTube(n);
        f.Ligne(Indices({faces[0][0], faces[0][1], faces[0][2], faces[0][3]}));
        f.Ligne(Indices({faces[1][0], faces[1][1], faces[1][2], faces[1][3]}));
        for (std::size_t i = 2; i < faces.size(); ++i) {
            const auto& q = faces[i];
            f.Ligne(Indices({q[0], q[1], q[2]}));
            f.Ligne(Indices({q[0], q[2], q[3]}));
        }
        f.Ligne("    ]");
        if (ov.Texture) {
            f.Ligne("    texCoord\tUSE MaTextureCoordinate");
            f.Ligne("    texCoordIndex\t[");
            f.Ligne("      0, 1, 2, 3, -1");
            f.Ligne("      0, 1, 2, 3, -1");
            for (int i = 0; i < 4 * n; ++i) {
                f.Ligne("      0, 1, 2, -1");
                f.Ligne("      0, 2, 3, -1");
            }
            f.Ligne("    ]");
        }
        f.Ligne("  }");
        if (aspectCommun) {
            f.Ligne("  appearance USE AspectGalerie");
        } else {
            f.Ligne("  appearance Appearance {");
            f.Ligne("    material Material {");
            f.Ligne("      diffuseColor " + Diffuse(tube.Couleur));
            f.Ligne("      ambientIntensity " + ambiance);
            f.Ligne("    }");
            f.Ligne("  }");
        }
        f.Ligne("}");
        f.Ligne("");
    }

    if (o->Cylindre) {
        if (!ov.Texture) {
            f.Ligne("DEF AspectCylindre Appearance {");
            f.Ligne("  material Material {");
            f.Ligne("    diffuseColor " + Diffuse(static_cast<uint32_t>(o->CouleurCylindre)));
            f.Ligne("    ambientIntensity " + ambiance);
            f.Ligne("  }");
            f.Ligne("}");
        }
        for (const Cylindre3D& c : modele.Cylindres) {
            const long double h1 = c.Dessus, h2 = c.Dessous;
            f.Ligne("Transform { ");
            f.Ligne("  translation " +
                    triple(c.Station->X, c.Station->Y, static_cast<long double>(c.Station->Z) + (h1 - h2) / 2));
            f.Ligne("  children [");
            f.Ligne("    Shape {");
            f.Ligne("      geometry Cylinder {");
            f.Ligne("        radius " + F(c.Rayon, 2, 2));
            f.Ligne("        height " + F(h1 + h2, 2, 2));
            f.Ligne("      }");
            f.Ligne(ov.Texture ? "      appearance USE AspectGalerie" : "      appearance USE AspectCylindre");
            f.Ligne("    }");
            f.Ligne("  ]");
            f.Ligne("}");
        }
    }
}

}  // namespace karst
