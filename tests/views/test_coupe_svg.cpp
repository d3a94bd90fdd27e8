// The SVG file of the developed section: exact bytes of a small section, and the layers
// written with every layer asked for, with Illustrator marks, and for empty sheets.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <fstream>
#include <sstream>

#include "coupe_factice.h"
#include "views/coupe_vue.h"

using namespace karst;
using namespace karst::test;

namespace {

int Compte(const std::string& texte, const std::string& motif)
{
    int n = 0;
    for (auto p = texte.find(motif); p != std::string::npos; p = texte.find(motif, p + 1))
        ++n;
    return n;
}

// The layer group that starts with this opening text, up to its closing line.
std::string Couche(const std::string& svg, const std::string& ouverture)
{
    const auto debut = svg.find(ouverture);
    if (debut == std::string::npos)
        return {};
    int profondeur = 0;
    std::size_t p = debut;
    do {
        const auto ouvre = svg.find("<g", p + 1), ferme = svg.find("</g>", p + 1);
        if (ferme == std::string::npos)
            return {};
        if (ouvre < ferme)
            ++profondeur, p = ouvre;
        else
            --profondeur, p = ferme;
    } while (profondeur >= 0);
    return svg.substr(debut, p + 4 - debut);
}

// Sheet 1: X(1) -> A(1), its last shot 2 m high and 1 m deep, out of the section; then
// A(1) -> B(2) from altitude 10, shots of 2 m level and 2 m rising 1 m, the first 1 m high
// and 0.5 m deep, the second without heights, as a branch at x 0, z 0.
class CoupeSvg : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    ContexteCoupe ctx;
    TCoupe vue{ctx};
    TFiche* f = nullptr;
    TGalerie* g = nullptr;

    void SetUp() override
    {
        AssureApplication();
        ctx.massif.NomFichier = "C:\\Topo\\Grotte.mas";
        f = &AjouteFiche(ctx.massif);
        TGalerie& avant = GalerieSection(*f, "X", 1, "A", 1, 10, {{1, 0}});
        avant.Visee(1)->Haut = "2";
        avant.Visee(1)->Bas = "1";
        g = &GalerieSection(*f, "A", 1, "B", 2, 10, {{2, 0}, {2, 1}});
        g->Visee(1)->Haut = "1";
        g->Visee(1)->Bas = "0.5";
        g->DansCoupe = g->Sens = g->GaucheDroite = true;
        AjouteRacine(ctx.massif, *f, 1, 0, 0);
        Calcule(ctx.massif);

        TOptions_Coupe& o = ctx.coupe;
        CoupeNue(o);
        o.Epaisseur_Visee = 1;
        o.Epaisseur_Habit = 3;
        o.Epaisseur_hauteur = 2;
        o.Police_Station = TPolice("Arial", -16);
        o.Texte_Station = 2;
        o.diametre = 10;
        o.Representation_Hauteur = 2;
        o.Afficher_Habillage = true;
        o.NbEchelles = 1;
        o.Pas_Verticale = 1;
        o.Largeur_Verticale = 2;
        o.Epaisseur_Verticale = 1;
        TEchelleVerticale& e = o.Echelles[1];
        e.Xdev = 4;
        e.ZMin = 0;
        e.ZMax = 2;
        e.Nom = "B";
        e.Indice = 2;
    }
    std::string Exporte(bool illustrator, bool toutes)
    {
        int l, h;
        CanvasEnregistreur image(10, 10);
        vue.Dimensions(l, h, 4, 1, image);
        const std::string chemin = dossier.filePath("coupe.svg").toStdString();
        vue.ExporteSVG(chemin, illustrator, toutes);
        return Lit(chemin);
    }
};

TEST_F(CoupeSvg, SmallSectionByteForByte)
{
    EXPECT_EQ(Exporte(false, false), Lit(KARST_TEST_DATA "/coupe_simple.svg"));
}

TEST_F(CoupeSvg, EveryLayerWhateverItsOption)
{
    TOptions_Coupe& o = ctx.coupe;
    o.Afficher_Habillage = false;
    o.Representation_Hauteur = 2;  // dots on the screen, lines in a file of every layer
    o.diametre = 0;
    o.Texte_Station = 0;
    o.Long_Horizontale = 3;
    o.Largeur_Horizontale = 2;
    o.Pas_Horizontale = 3;
    const std::string svg = Exporte(false, true);
    EXPECT_EQ(Compte(Couche(svg, "<g id=\"parois\""), "<line "), 2);
    const std::string hauteurs = Couche(svg, "<g id=\"hauteurs\"");
    EXPECT_EQ(Compte(hauteurs, "<circle "), 0);
    EXPECT_NE(hauteurs.find("<line x1=\"10.00mm\" y1=\"20.00mm\" x2=\"10.00mm\" y2=\"30.00mm\"/>"), std::string::npos);
    EXPECT_EQ(Compte(hauteurs, "<line "), 4);
    EXPECT_EQ(Compte(Couche(svg, "<g id=\"stations\""), "r=\"0.00mm\"/>"), 3);
    const std::string noms = Couche(svg, "<g id=\"carrefours\"");
    EXPECT_NE(noms.find(">A</text>"), std::string::npos);
    EXPECT_NE(noms.find(">B</text>"), std::string::npos);
    // The horizontal scale: baseline, end ticks, two subdivisions, and its two texts.
    const std::string echelle = Couche(svg, "<g id=\"echelle horizontale\"");
    EXPECT_EQ(Compte(echelle, "<line "), 5);
    EXPECT_NE(echelle.find("<g style=\"font-size:8pt; font-family:Times New Roman; text-anchor: middle\">"),
              std::string::npos);
    EXPECT_NE(echelle.find(">3m</text>"), std::string::npos);

    // Only the layers asked for: their groups stay, empty.
    const std::string visibles = Exporte(false, false);
    EXPECT_EQ(Couche(visibles, "<g id=\"parois\""),
              "<g id=\"parois\" style=\"stroke-width:0.30mm; stroke:black;\">\r\n<g>\r\n<g>\r\n</g>\r\n</g>\r\n</g>");
    EXPECT_EQ(visibles.find("echelle horizontale"), std::string::npos);
}

TEST_F(CoupeSvg, IllustratorLayersAndEmptySheets)
{
    AjouteFiche(ctx.massif);  // nothing of it in the section
    const std::string svg = Exporte(true, true);
    EXPECT_EQ(Compte(svg, " i:layer=\"yes\""), 7);
    EXPECT_NE(svg.find("<g id=\"echelles verticales\" i:layer=\"yes\">"), std::string::npos);
    // Each of the five layers: the sheet with its gallery, then the empty sheet.
    EXPECT_EQ(Compte(svg, "</g>\r\n</g>\r\n<g>\r\n</g>\r\n</g>\r\n"), 5);
    QXmlStreamReader xml(QByteArray::fromStdString(svg));
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();

    // Nothing in the section: the header, the title, the description and the end.
    ctx.massif.VideCoupe();
    const std::string vide = Exporte(false, true);
    EXPECT_EQ(vide.substr(vide.find("<title>")), "<title>Grotte.mas</title>\r\n<desc>Coupe</desc>\r\n</svg>\r\n");
}

TEST_F(CoupeSvg, AtOneFiveHundredth)
{
    vue.Echelle = 500;
    const std::string svg = Exporte(false, false);
    // The 2 m shot is 4 mm long; the margins are 5 m.
    EXPECT_NE(svg.find("<line x1=\"10.00mm\" y1=\"12.00mm\" x2=\"14.00mm\" y2=\"12.00mm\"/>"), std::string::npos);
}

}  // namespace
