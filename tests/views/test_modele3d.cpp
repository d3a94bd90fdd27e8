// The 3D passage model: sections, normals, cylinders and colours; the OpenGL scene built
// from it and its camera; the VRML file and its export dialog.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <fstream>
#include <numbers>
#include <sstream>

#include "formulaires/dlg_vrml.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "scene3d/panneau.h"
#include "scene3d/scene.h"
#include "views/modele3d.h"
#include "views/svg.h"
#include "views/vue_relief.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

void ExpectCoin(const Coin3D& c, double x, double y, double z)
{
    EXPECT_NEAR(c.X, x, 1e-9);
    EXPECT_NEAR(c.Y, y, 1e-9);
    EXPECT_NEAR(c.Z, z, 1e-9);
}

TVisee Visee(double azimut, int unite = 0, double horizontale = 10)
{
    TVisee v;
    v.Longueur = horizontale;
    v.Azimut = azimut;
    v.UniteAzimut = static_cast<uint8_t>(unite);
    v.Horizontale = horizontale;
    return v;
}

Section3D Au(double x, double y, double z)
{
    return {Coin3D{x, y, z}, Coin3D{x, y, z}, Coin3D{x, y, z}, Coin3D{x, y, z}};
}

class Modele : public ::testing::Test {
protected:
    ContexteFactice ctx;
    TOptions_Relief& o = ctx.relief;
    TFiche* fiche = nullptr;

    void SetUp() override
    {
        AssureApplication();
        fiche = &AjouteFiche(ctx.massif);
    }
    Modele3D Construit(uint32_t couleur = 0x808080)
    {
        return ConstruitModele3D(ctx.massif.Fiches, o, [&](const TGalerie&) { return couleur; });
    }
};

}  // namespace

TEST(Sections, CornersAcrossAShot)
{
    // Due north: right is east.
    Section3D s = Au(0, 0, 0);
    CoinsSection(Visee(0), s, 0.25, 0.25, 0.5, 0);
    ExpectCoin(s[0], -0.25, 0, 0.5);
    ExpectCoin(s[1], 0.25, 0, 0.5);
    ExpectCoin(s[2], 0.25, 0, 0);
    ExpectCoin(s[3], -0.25, 0, 0);
    // Degrees reversed: azimuth 0 looks south, right is west.
    s = Au(0, 0, 0);
    CoinsSection(Visee(0, 5), s, 0, 1, 0, 0);
    ExpectCoin(s[1], -1, 0, 0);
    // Grads: 100 gr is east, right is south.
    s = Au(5, 5, 5);
    CoinsSection(Visee(100, 1), s, 2, 1, 1, 1);
    ExpectCoin(s[0], 5, 7, 6);
    ExpectCoin(s[2], 5, 4, 4);
    // A vertical shot lays its heights along the azimuth, at the station's altitude.
    s = Au(0, 0, 3);
    CoinsSection(Visee(0, 0, 0.005), s, 1, 1, 2, 1);
    ExpectCoin(s[0], -1, 2, 3);
    ExpectCoin(s[1], 1, 2, 3);
    ExpectCoin(s[2], 1, -1, 3);
    ExpectCoin(s[3], -1, -1, 3);
    // At exactly 0.01 m the shot is an ordinary one.
    s = Au(0, 0, 0);
    CoinsSection(Visee(0, 0, 0.01), s, 1, 1, 2, 1);
    ExpectCoin(s[0], -1, 0, 2);
}

TEST(Sections, NormalsOfFaces)
{
    const Coin3D n = NormaleFace({0, 0, 0}, {2, 0, 0}, {2, 3, 0});
    ExpectCoin(n, 0, 0, 1);
    // A face of no area keeps its null normal.
    ExpectCoin(NormaleFace({1, 1, 1}, {1, 1, 1}, {1, 1, 1}), 0, 0, 0);
    // Too short to be normalised: left as computed.
    ExpectCoin(NormaleFace({0, 0, 0}, {0.01, 0, 0}, {0, 0.01, 0}), 0, 0, 0.0001);
    const auto faces = FacesTube(2);
    ASSERT_EQ(faces.size(), 10u);
    EXPECT_EQ(faces[0], (std::array<int, 4>{0, 3, 2, 1}));
    EXPECT_EQ(faces[1], (std::array<int, 4>{8, 9, 10, 11}));
    EXPECT_EQ(faces[6], (std::array<int, 4>{4, 5, 9, 8}));
    EXPECT_EQ(faces[9], (std::array<int, 4>{7, 4, 8, 11}));
}

TEST_F(Modele, OneShotNorthWithNothingMeasured)
{
    AjouteGalerie(*fiche, "A", "B", {0, 0, 0}, {{0, 10, 0}});
    Modele3D m = Construit();
    ASSERT_EQ(m.Tubes.size(), 1u);
    const auto& s = m.Tubes[0].Sections;
    ASSERT_EQ(s.size(), 2u);
    ExpectCoin(s[0][0], -0.25, 0, 0.5);
    ExpectCoin(s[0][1], 0.25, 0, 0.5);
    ExpectCoin(s[0][2], 0.25, 0, 0);
    ExpectCoin(s[0][3], -0.25, 0, 0);
    ExpectCoin(s[1][0], -0.25, 10, 0.5);
    ExpectCoin(s[1][2], 0.25, 10, 0);
    // The end station is registered; without the option the cylinder has no margins.
    ASSERT_EQ(m.Cylindres.size(), 1u);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Rayon, 0.25f);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessus, 0.5f);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessous, 0);
}

TEST_F(Modele, TerminusStartClosesToAPoint)
{
    TGalerie& g = AjouteGalerie(*fiche, "A", "B", {1, 2, 3}, {{1, 12, 3}});
    g.Depart.Terminus = true;
    g.Arrivee.Terminus = true;
    Modele3D m = Construit();
    for (const Coin3D& c : m.Tubes[0].Sections[0])
        ExpectCoin(c, 1, 2, 3);
    // The last section keeps its size at a terminus; no station is registered.
    ExpectCoin(m.Tubes[0].Sections[1][1], 1.25, 12, 3.5);
    EXPECT_TRUE(m.Cylindres.empty());
}

TEST_F(Modele, MiddleStationStandsAcrossBothShots)
{
    TGalerie& g = AjouteGalerie(*fiche, "A", "B", {0, 0, 0}, {{0, 10, 0}, {10, 10, 0}});
    g.Visee(1)->Gauche = "1";
    g.Visee(1)->Droite = "1";
    g.Visee(1)->Haut = "2";
    g.Visee(1)->Bas = "3";
    Modele3D m = Construit();
    const auto& s = m.Tubes[0].Sections;
    ASSERT_EQ(s.size(), 3u);
    // Right of north is (+1, 0), right of east is (0, -1): the mean.
    ExpectCoin(s[1][1], 0.5, 9.5, 2);
    ExpectCoin(s[1][3], -0.5, 10.5, -3);
}

TEST_F(Modele, WireframeSquaresAndCylinders)
{
    TGalerie& g = AjouteGalerie(*fiche, "A", "B", {0, 0, 0}, {{0, 10, 0}});
    g.Visee(1)->Gauche = "4";
    g.Visee(1)->Haut = "4";
    o.Filaire = true;
    o.Cylindre = true;
    o.Largeur_3D = 1;
    Modele3D m = Construit();
    ExpectCoin(m.Tubes[0].Sections[1][0], -0.5, 10, 1);
    ExpectCoin(m.Tubes[0].Sections[1][3], -0.5, 10, 0);
    ASSERT_EQ(m.Cylindres.size(), 1u);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Rayon, 0.5f);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessus, 1.01f);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessous, 0.01f);
}

TEST_F(Modele, AJunctionTakesTheLargestMeasures)
{
    TGalerie& a = AjouteGalerie(*fiche, "A", "J", {0, 0, 0}, {{0, 10, 0}});
    a.Visee(1)->Gauche = "1";
    a.Visee(1)->Droite = "3";
    a.Visee(1)->Bas = "2";
    TGalerie& b = AjouteGalerie(*fiche, "B", "J", {10, 10, 0}, {{0, 10, 0}});
    b.Arrivee.Indice = a.Arrivee.Indice;
    b.Visee(1)->Gauche = "5";
    b.Visee(1)->Haut = "1";
    // A start by a shot of no length is a junction too, measured at its first station.
    TGalerie& c = AjouteGalerie(*fiche, "K", "L", {0, 10, 0}, {{0, 10, 0}, {0, 20, 0}});
    c.Arrivee.Terminus = true;
    Modele3D m = Construit();
    ASSERT_EQ(m.Cylindres.size(), 2u);
    EXPECT_EQ(m.Cylindres[0].Station, &a.Arrivee);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Rayon, 3);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessus, 1);
    EXPECT_FLOAT_EQ(m.Cylindres[0].Dessous, 2);
    EXPECT_EQ(m.Cylindres[1].Station, &c.Depart);
    for (const Coin3D& k : m.Tubes[2].Sections[0])
        ExpectCoin(k, 0, 10, 0);
}

TEST_F(Modele, ColoursByMode)
{
    TGalerie& a = AjouteGalerie(*fiche, "A", "B", {0, 0, 0}, {{0, 10, 0}});
    a.EcartHorizontal = 3;
    a.EcartVertical = 4;
    a.Couleur = 0x00FF00;
    AjouteGalerie(*fiche, "B", "C", {0, 10, 0}, {{0, 20, 0}});
    o.CouleurGalerie = 0x336699;
    TPerspective vue{ctx};
    int l, h;
    CanvasEnregistreur image(10, 10);
    vue.Dimensions(l, h, 4, 1, image);
    QTemporaryDir dossier;
    const std::string chemin = dossier.filePath("c.wrl").toStdString();
    auto couleurs = [&](uint16_t mode) {
        FichierSVG f(chemin);
        vue.EcritVRML(f, mode, OptionsVRML{});
        f.Ferme();
        std::string s = Lit(chemin), r;
        for (std::size_t p = s.find("      diffuseColor "); p != std::string::npos;
             p = s.find("      diffuseColor ", p + 1))
            r += s.substr(p + 19, s.find('\r', p) - p - 19) + "|";
        return r;
    };
    // Largest deformation: red; none: black, replaced by the option's colour.
    EXPECT_EQ(couleurs(3), "0.996 0.000 0.000 |0.598 0.398 0.199 |");
    // A gallery without a colour of its own takes the option's colour.
    EXPECT_EQ(couleurs(2), "0.000 0.996 0.000 |0.598 0.398 0.199 |");
    EXPECT_EQ(couleurs(0), "");
}

namespace {

// One gallery due north from (0, 0, 0), 10 m long, nothing measured, with its cylinder.
class Vrml : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    ContexteFactice ctx;
    TPerspective vue{ctx};
    InterlocuteurScripte invite;
    int l = 0, h = 0;
    CanvasEnregistreur image{10, 10};

    void SetUp() override
    {
        AssureApplication();
        Interlocuteur::Installe(&invite);
        ctx.relief.Cylindre = true;
        AjouteGalerie(AjouteFiche(ctx.massif), "A", "B", {0, 0, 0}, {{0, 10, 0}});
        vue.Dimensions(l, h, 4, 1, image);
    }
    void TearDown() override { Interlocuteur::Installe(nullptr); }
};

}  // namespace

TEST_F(Vrml, OneGalleryByteForByteThroughTheDialog)
{
    const QString chemin = dossier.filePath("monde.wrl");
    TExport_VRML dialogue(vue);
    EXPECT_TRUE(dialogue.Gris->isChecked());
    EXPECT_TRUE(dialogue.Centre->isChecked());
    // Cancelled: nothing written, the dialog stays.
    invite.fichiers.push_back(std::nullopt);
    dialogue.OKBtnClick();
    EXPECT_FALSE(QFile::exists(chemin));
    invite.fichiers.push_back(chemin);
    dialogue.OKBtnClick();
    EXPECT_EQ(dialogue.result(), QDialog::Accepted);
    ASSERT_FALSE(invite.dialoguesFichier.empty());
    EXPECT_EQ(invite.dialoguesFichier.back().filtre, QStringLiteral("Monde virtuel (*.wrl)|*.wrl"));
    EXPECT_EQ(Lit(chemin.toStdString()), Lit(KARST_TEST_DATA "/relief_simple.wrl"));

    // An existing file is overwritten only on Yes.
    TExport_VRML second(vue);
    second.Centre->setChecked(false);
    invite.fichiers.push_back(chemin);
    invite.reponses.push_back(Bouton::Non);
    second.OKBtnClick();
    EXPECT_NE(second.result(), QDialog::Accepted);
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Le fichier monde.wrl existe déjà.\rEcrire par dessus?"));
    EXPECT_EQ(Lit(chemin.toStdString()), Lit(KARST_TEST_DATA "/relief_simple.wrl"));
    invite.fichiers.push_back(chemin);
    invite.reponses.push_back(Bouton::Oui);
    second.OKBtnClick();
    const std::string absolu = Lit(chemin.toStdString());
    EXPECT_EQ(absolu.substr(0, 39), "#VRML V2.0 utf8\r\n\r\n#Karstomat 0 0 0\r\n\r\n");
    EXPECT_NE(absolu.find("        -0.25   0.50 -10.00,\r\n"), std::string::npos);
}

TEST_F(Vrml, MenuCommandNeedsAPerspectiveWindow)
{
    EXPECT_FALSE(CommandeExportVRML(nullptr));
    ASSERT_FALSE(invite.Textes().isEmpty());
    EXPECT_EQ(invite.Textes().back(), QStringLiteral("Vous devez activer la perspective pour exporter en VRML."));
    const QString chemin = dossier.filePath("menu.wrl");
    PiloteModalInstalle pilote([&](QDialog& d) {
        auto& dialogue = dynamic_cast<TExport_VRML&>(d);
        dialogue.Deformations->setChecked(true);
        EXPECT_EQ(dialogue.ModeCouleur(), 3);
        invite.fichiers.push_back(chemin);
        dialogue.OKBtn->click();
        return d.result();
    });
    EXPECT_TRUE(CommandeExportVRML(&vue));
    EXPECT_NE(Lit(chemin.toStdString()).find("appearance Appearance {"), std::string::npos);
}

TEST_F(Vrml, ModelFileTextureAndFailures)
{
    const QString modele = dossier.filePath("modele.wrl");
    {
        std::ofstream m(modele.toStdString(), std::ios::binary);
        m << "#VRML V2.0 utf8\nNavigationInfo { }";  // the last line has no end
    }
    QDir(dossier.path()).mkdir("images");
    TExport_VRML dialogue(vue);
    dialogue.Nom_Modele->setText(modele);
    dialogue.Nom_texture->setText(dossier.filePath("images/ro\\\"che.jpg"));  // a legal Linux name
    EXPECT_TRUE(dialogue.Texture->isChecked());
    EXPECT_FALSE(dialogue.Couleur->isEnabled());
    dialogue.Lissage->setChecked(true);
    dialogue.Coloriage->setChecked(true);
    const QString chemin = dossier.filePath("monde.wrl");
    invite.fichiers.push_back(chemin);
    dialogue.OKBtnClick();
    const std::string s = Lit(chemin.toStdString());
    EXPECT_EQ(s.substr(0, 39), "#VRML V2.0 utf8\r\nNavigationInfo { }\r\n\r\n");
    EXPECT_NE(s.find("  texture ImageTexture { url [\"images/ro\\\\\\\"che.jpg\"] }\r\n"), std::string::npos);
    EXPECT_NE(s.find("    diffuseColor  1 1 1\r\n"), std::string::npos);
    EXPECT_NE(s.find("    creaseAngle 6.28\r\n"), std::string::npos);
    EXPECT_NE(s.find("    texCoordIndex\t[\r\n      0, 1, 2, 3, -1\r\n      0, 1, 2, 3, -1\r\n      0, 1, 2, -1\r\n"),
              std::string::npos);
    EXPECT_NE(s.find("      appearance USE AspectGalerie\r\n"), std::string::npos);
    EXPECT_EQ(s.find("AspectCylindre"), std::string::npos);

    // A model file that cannot be read, or a file that cannot be written, is reported and
    // the dialog stays open.
    TExport_VRML echec(vue);
    echec.Nom_Modele->setText(dossier.filePath("absent.wrl"));
    invite.fichiers.push_back(dossier.filePath("autre.wrl"));
    echec.OKBtnClick();
    EXPECT_NE(echec.result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(dossier.filePath("autre.wrl")));
    ASSERT_FALSE(invite.messages.empty());
    EXPECT_EQ(invite.messages.back().icone, Icone::Erreur);
    echec.Nom_Modele->clear();
    invite.fichiers.push_back(dossier.filePath("pas/de/dossier.wrl"));
    echec.OKBtnClick();
    EXPECT_NE(echec.result(), QDialog::Accepted);
    EXPECT_EQ(invite.messages.size(), 2u);

    // Nothing to draw: the header and one empty line.
    ctx.massif.Fiches[0]->Galeries[0]->Placee = false;
    vue.Dimensions(l, h, 4, 1, image);
    TExport_VRML vide(vue);
    invite.fichiers.push_back(dossier.filePath("vide.wrl"));
    vide.OKBtnClick();
    EXPECT_EQ(Lit(dossier.filePath("vide.wrl").toStdString()), "#VRML V2.0 utf8\r\n\r\n");
}

TEST(Scene3D, FirstCameraStandsOppositeTheViewingDirection)
{
    AssureApplication();
    ContexteFactice ctx;
    ctx.relief.CouleurFond = 0xFF8000;
    AjouteGalerie(AjouteFiche(ctx.massif), "A", "B", {0, 0, 0}, {{100, 50, 10}});
    TPerspective vue{ctx};
    vue.Tourne(30, 20);
    int l, h;
    CanvasEnregistreur image(10, 10);
    vue.Dimensions(l, h, 4, 1, image);
    PanneauOpenGL panneau;
    panneau.resize(64, 48);
    vue.Construit3D(panneau, 0);
    ASSERT_TRUE(vue.Scene);
    EXPECT_FALSE(vue.Premier3D);
    EXPECT_DOUBLE_EQ(vue.Azimut3D, 330);
    EXPECT_DOUBLE_EQ(vue.Elevation3D, 20);
    EXPECT_NEAR(static_cast<double>(vue.Camera[0]), 70.48, 0.005);
    EXPECT_NEAR(static_cast<double>(vue.Camera[1]), -51.30, 0.005);
    EXPECT_NEAR(static_cast<double>(vue.Camera[2]), 122.07, 0.005);
    TMaScene& s = *vue.Scene;
    EXPECT_FLOAT_EQ(s.Background[0], 0);
    EXPECT_NEAR(s.Background[1], 0.502, 0.0005);
    EXPECT_FLOAT_EQ(s.Background[2], 1);
    EXPECT_EQ(s.Active, 1);
    EXPECT_EQ(panneau.Scene(), &s);
    EXPECT_FLOAT_EQ(s.ZFar, 1000000);
    ASSERT_EQ(s.Lights.size(), 1u);
    EXPECT_EQ(s.Lights[0]->Kind, Tlight::SansPosition);
    // Right after the first camera the model centre lies straight ahead at D.
    ASSERT_EQ(s.Entities.size(), 1u);
    const Tentity& tube = *s.Entities[0];
    EXPECT_NEAR(tube.Position.x, 0, 1e-4);
    EXPECT_NEAR(tube.Position.y, 0, 1e-4);
    EXPECT_NEAR(tube.Position.z, -150, 1e-3);
    EXPECT_FLOAT_EQ(tube.Angles.x, -20);
    EXPECT_FLOAT_EQ(tube.Angles.y, 330);
    EXPECT_EQ(tube.Color, (CouleurOctets{128, 128, 128}));
    // Six quadrilateral faces over eight shared corners, in the scene's frame.
    ASSERT_EQ(tube.Faces.size(), 6u);
    EXPECT_EQ(tube.Points.size(), 8u);
    const Tvertex& v = *tube.Faces[2]->Vertices[0];
    EXPECT_NEAR(v.Point->Y, 0.5f - 5, 1e-5);  // z up becomes y, from the centre
    // North becomes -z; the corner lies 0.25 m left of the shot, which heads east-north-east.
    EXPECT_NEAR(v.Point->Z, 25 - 0.25 * 100 / std::sqrt(12500.0), 1e-4);
    EXPECT_GT(v.Normal.y, 0.99);  // the top faces up

    // Another camera: Azimut3D 90, Elevation3D 30 from (-0.866 D, -0.5 D, 0).
    vue.Azimut3D = 90;
    vue.Elevation3D = 30;
    vue.Camera = {-0.8660254037844386 * 150, -0.5 * 150, 0};
    vue.PlaceCamera();
    EXPECT_NEAR(tube.Position.x, 0, 1e-4);
    EXPECT_NEAR(tube.Position.y, 0, 1e-4);
    EXPECT_NEAR(tube.Position.z, -150, 1e-3);
    // A rebuild keeps the user's angles and camera.
    vue.Construit3D(panneau, 2);
    EXPECT_DOUBLE_EQ(vue.Azimut3D, 90);
    EXPECT_NEAR(static_cast<double>(vue.Camera[1]), -75, 1e-9);
}

TEST(Scene3D, CylindersAndAnEmptyScene)
{
    AssureApplication();
    ContexteFactice ctx;
    ctx.relief.Cylindre = true;
    ctx.relief.N_Face = 3;
    ctx.relief.CouleurCylindre = 0x0000FF;
    TGalerie& g = AjouteGalerie(AjouteFiche(ctx.massif), "A", "B", {0, 0, 0}, {{0, 10, 0}});
    g.Visee(1)->Gauche = "2";
    TPerspective vue{ctx};
    int l, h;
    CanvasEnregistreur image(10, 10);
    vue.Dimensions(l, h, 4, 1, image);
    PanneauOpenGL panneau;
    vue.Construit3D(panneau, 0);
    ASSERT_EQ(vue.Scene->Entities.size(), 2u);
    const Tentity& cyl = *vue.Scene->Entities[1];
    EXPECT_EQ(cyl.Color, (CouleurOctets{255, 0, 0}));
    ASSERT_EQ(cyl.Faces.size(), 9u);
    for (int j = 0; j < 3; ++j) {
        const tface& cote = *cyl.Faces[static_cast<std::size_t>(3 * j)];
        ASSERT_EQ(cote.Vertices.size(), 4u);
        EXPECT_EQ(cyl.Faces[static_cast<std::size_t>(3 * j + 1)]->Vertices.size(), 3u);
        EXPECT_EQ(cyl.Faces[static_cast<std::size_t>(3 * j + 2)]->Vertices.size(), 3u);
        // Side normals point outwards, horizontally.
        for (const auto& v : cote.Vertices) {
            EXPECT_NEAR(v->Normal.y, 0, 1e-6);
            const float rx = v->Point->X, rz = v->Point->Z + 5;  // from the station's axis
            EXPECT_GT(v->Normal.x * rx + v->Normal.z * rz, 0);
        }
    }
    // The first side: radius 1 (half the width 2), from 0.01 below to 0.51 above.
    const Tvertex& v0 = *cyl.Faces[0]->Vertices[0];
    EXPECT_NEAR(v0.Point->X, 1, 1e-6);
    EXPECT_NEAR(v0.Point->Y, 0.51, 1e-5);
    EXPECT_NEAR(cyl.Faces[0]->Vertices[1]->Point->Y, -0.01, 1e-5);
    EXPECT_NEAR(cyl.Faces[1]->Vertices[0]->Normal.y, 1, 1e-6);
    EXPECT_NEAR(cyl.Faces[2]->Vertices[0]->Normal.y, -1, 1e-6);

    // Nothing placed: an empty scene, still lit and attached.
    g.Placee = false;
    vue.Dimensions(l, h, 4, 1, image);
    vue.Construit3D(panneau, 0);
    EXPECT_TRUE(vue.Scene->Entities.empty());
    EXPECT_EQ(vue.Scene->Lights.size(), 1u);
    EXPECT_EQ(panneau.Scene(), vue.Scene.get());
    vue.Scene.reset();
    EXPECT_EQ(panneau.Scene(), nullptr);
}

TEST(Scene3D, TheModelIsSeenFromTheFirstCamera)
{
    AssureApplication();
    {
        QOpenGLContext essai;
        QOffscreenSurface surface;
        surface.create();
        if (!essai.create() || !essai.makeCurrent(&surface))
            GTEST_SKIP() << "pas de contexte OpenGL";
    }
    // A wide passage due north seen from the south: it fills the middle of the panel.
    ContexteFactice ctx;
    ctx.relief.CouleurFond = 0x00FF00;
    ctx.relief.CouleurGalerie = 0xFFFFFF;
    TGalerie& g = AjouteGalerie(AjouteFiche(ctx.massif), "A", "B", {0, 0, 0}, {{0, 10, 0}});
    g.Visee(1)->Gauche = "6";
    g.Visee(1)->Haut = "3";
    g.Visee(1)->Bas = "3";
    TPerspective vue{ctx};
    int l, h;
    CanvasEnregistreur image(10, 10);
    vue.Dimensions(l, h, 4, 1, image);
    PanneauOpenGL panneau;
    panneau.resize(80, 60);
    vue.Construit3D(panneau, 0);
    const QImage rendu = panneau.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    const QRgb coin = rendu.pixel(1, 1), centre = rendu.pixel(40, 30);
    EXPECT_EQ(qRed(coin), 0);
    EXPECT_EQ(qGreen(coin), 255);
    // The lit end cap, grey: as much red as green.
    EXPECT_GT(qRed(centre), 0);
    EXPECT_EQ(qRed(centre), qGreen(centre));
}
