// The SVG files of the plan: exact bytes of a small drawing, well-formed XML of a larger
// one, the Illustrator header and the layers asked for.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <fstream>
#include <sstream>

#include "formulaires/dlg_svg.h"
#include "survey/aide_fichiers.h"
#include "views/plan.h"
#include "views/svg.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

class Svg : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    ContexteFactice ctx;
    TPlan plan{ctx};

    std::string Chemin(const char* nom) const { return dossier.filePath(nom).toStdString(); }
    std::string Exporte(bool illustrator, bool toutes)
    {
        int l, h;
        CanvasEnregistreur image(10, 10);
        plan.Dimensions(l, h, 4, 1, image);
        const std::string chemin = Chemin("plan.svg");
        plan.ExporteSVG(chemin, illustrator, toutes);
        return Lit(chemin);
    }
};

TEST_F(Svg, SmallPlanByteForByte)
{
    ctx.massif.NomFichier = "C:\\Topo\\Grotte.mas";
    TFiche& f = AjouteFiche(ctx.massif);
    TGalerie& g = AjouteGalerie(f, "A", "C&D", {0, 0}, {{10, 0}, {10, 5}});
    g.Visee(1)->Gauche = "2";
    g.Visee(2)->Gauche = "4";
    TOptions_Plan& o = ctx.options;
    o.Texte_Station = 2;
    o.Representation = false;
    o.X_Nord = 0.002;
    o.Y_Nord = 0.001;
    o.X_Echelle = 0.004;
    o.Y_Echelle = 0.003;
    o.Long_Echelle = 5;
    o.Subdivision = 2;
    o.Representation_Largeur = 1;
    EXPECT_EQ(Exporte(false, false), Lit(KARST_TEST_DATA "/plan_simple.svg"));
}

TEST_F(Svg, TitleOfAnAccentedPathIsLatin1)
{
    // The system's path is UTF-8; the document declares ISO-8859-1.
    ctx.massif.NomFichier = "/home/topo/R\xC3\xA9seau du Fou & co.fic";
    const std::string svg = Exporte(false, false);
    EXPECT_NE(svg.find("<title>R\xE9seau du Fou &amp; co.fic</title>\r\n"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("\xC3"), std::string::npos);
}

TEST_F(Svg, NothingPlacedGivesTheFrameOnly)
{
    ctx.massif.NomFichier = "/home/topo/r\xE9seau.fic";
    TFiche& f = AjouteFiche(ctx.massif);
    AjouteGalerie(f, "A", "B", {0, 0}, {{1, 0}}).Placee = false;
    EXPECT_EQ(Exporte(false, true), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                                    "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"\r\n"
                                    "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\">\r\n"
                                    "\r\n"
                                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0mm\" height=\"0mm\">\r\n"
                                    "<title>r\xE9seau.fic</title>\r\n"
                                    "<desc>Plan</desc>\r\n"
                                    "</svg>\r\n");
}

TEST_F(Svg, IllustratorHeader)
{
    std::string texte = Exporte(true, true);
    const std::string attendu =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
        "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\"    "
        "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\" [\r\n"
        "         <!ENTITY ns_flows \"http://ns.adobe.com/Flows/1.0/\">\r\n"
        "        \t<!ENTITY ns_extend \"http://ns.adobe.com/Extensibility/1.0/\">\r\n"
        "        \t<!ENTITY ns_ai \"http://ns.adobe.com/AdobeIllustrator/10.0/\">\r\n"
        "        \t<!ENTITY ns_graphs \"http://ns.adobe.com/Graphs/1.0/\">\r\n"
        "        \t<!ENTITY ns_vars \"http://ns.adobe.com/Variables/1.0/\">\r\n"
        "        \t<!ENTITY ns_imrep \"http://ns.adobe.com/ImageReplacement/1.0/\">\r\n"
        "        \t<!ENTITY ns_sfw \"http://ns.adobe.com/SaveForWeb/1.0/\">\r\n"
        "        \t<!ENTITY ns_custom \"http://ns.adobe.com/GenericCustomNamespace/1.0/\">\r\n"
        "        \t<!ENTITY ns_adobe_xpath \"http://ns.adobe.com/XPath/1.0/\">\r\n"
        "        \t<!ENTITY ns_svg \"http://www.w3.org/2000/svg\">\r\n"
        "        \t<!ENTITY ns_xlink \"http://www.w3.org/1999/xlink\">\r\n"
        "]>\r\n"
        "\r\n"
        "<svg\r\n"
        " \t xmlns:x=\"&ns_extend;\" xmlns:i=\"&ns_ai;\" xmlns:graph=\"&ns_graphs;\"\r\n"
        " \t xmlns=\"&ns_svg;\" xmlns:xlink=\"&ns_xlink;\" "
        "xmlns:a=\"http://ns.adobe.com/AdobeSVGViewerExtensions/3.0/\"\r\n"
        " \t width=\"0mm\" height=\"0mm\"\r\n"
        " \t overflow=\"visible\" enable-background=\"new 0 0 0mm 0mm\" xml:space=\"preserve\">\r\n"
        "<title></title>\r\n";
    EXPECT_EQ(texte.substr(0, attendu.size()), attendu);
}

// A computed massif of three sheets with walls, widths, a terminus and names that XML
// reserves; every layer written, as Illustrator layers.
class SvgExemple : public Svg {
protected:
    void SetUp() override
    {
        ctx.massif.NomFichier = "exemple.mas";
        for (int s = 0; s < 3; ++s) {
            TFiche& f = AjouteFiche(ctx.massif, "Syst\xE8me " + std::to_string(s));
            double x = 30.0 * s, y = 0;
            for (int gi = 0; gi < 3; ++gi) {
                std::vector<Point3> stations;
                for (int k = 1; k <= 5; ++k)
                    stations.push_back({x + 4.0 * k, y + (k % 2) * 1.5 + gi * 3.0, -2.0 * k});
                TGalerie& g =
                    AjouteGalerie(f, "P<" + std::to_string(gi) + ">", "Q&\"\x80\"", {x, y + gi * 3.0}, stations);
                for (int k = 1; k <= 5; ++k) {
                    g.Visee(k)->Gauche = "1.5";
                    g.Visee(k)->Droite = k == 3 ? "" : "0.8";
                }
                g.Arrivee.Terminus = gi == 2;
            }
            f.Galeries[1]->Placee = false;
        }
        TOptions_Plan& o = ctx.options;
        o.Texte_Nord = "Nord & \"vrai\"";
        o.Police_Station.Nom = "Arial <Narrow>";
        o.Pas = 10;
        o.Longueur_Quadri = 3;
        plan.Tourne(30);
    }
};

TEST_F(SvgExemple, WellFormedWithEveryLayer)
{
    const std::string texte = Exporte(true, true);
    // CR LF everywhere, nothing outside Latin-1 but character references.
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] == '\n') {
            ASSERT_TRUE(i > 0 && texte[i - 1] == '\r') << "at " << i;
        }
        ASSERT_NE(static_cast<unsigned char>(texte[i]), 0x80u);
    }
    QXmlStreamReader xml(QByteArray::fromStdString(texte));
    std::vector<std::string> couches;
    QStringList textes;
    int profondeur = 0, groupesParCouche = 0;
    std::vector<int> groupes;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++profondeur;
            if (xml.name() == u"svg") {
                EXPECT_EQ(xml.namespaceUri(), u"http://www.w3.org/2000/svg");
            }
            if (xml.name() == u"g" && profondeur == 2) {
                couches.push_back(xml.attributes().value("id").toString().toStdString());
                EXPECT_EQ(xml.attributes().value("http://ns.adobe.com/AdobeIllustrator/10.0/", "layer"), u"yes");
                if (!groupes.empty())
                    groupes.back() = groupesParCouche;
                groupes.push_back(0);
                groupesParCouche = 0;
            } else if (xml.name() == u"g" && profondeur == 3) {
                ++groupesParCouche;
            } else if (xml.name() == u"text") {
                textes << xml.readElementText();
                --profondeur;
            }
        } else if (xml.isEndElement()) {
            --profondeur;
        }
    }
    groupes.back() = groupesParCouche;
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " line " << xml.lineNumber();
    const std::vector<std::string> attendu = {"visees",     "parois", "largeurs", "stations",
                                              "carrefours", "nord",   "echelle",  "quadrillage"};
    EXPECT_EQ(couches, attendu);
    // One group per sheet in each gallery layer (the north and scale layers hold two).
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(groupes[static_cast<std::size_t>(i)], 3);
    EXPECT_TRUE(textes.contains(QString::fromUtf8("P<0>")));
    EXPECT_TRUE(textes.contains(QString::fromUtf8("Q&\"€\"")));
    EXPECT_TRUE(textes.contains(QString::fromUtf8("Nord & \"vrai\"")));
    EXPECT_NE(texte.find("font-family:Arial &lt;Narrow&gt;;"), std::string::npos);
    EXPECT_NE(texte.find("<title>exemple.mas</title>"), std::string::npos);
}

TEST_F(SvgExemple, OnlyTheVisibleLayers)
{
    TOptions_Plan& o = ctx.options;
    o.Affiche_Nord = false;
    o.Affiche_Echelle = false;
    o.Affiche_Quadri = false;
    o.Afficher_Habillage = false;
    o.diametre = 0;
    o.Texte_Station = 0;
    const std::string texte = Exporte(false, false);
    // The five gallery layers are always there, without the Illustrator mark.
    EXPECT_NE(texte.find("<g id=\"visees\" style=\"stroke-width:0.20mm; stroke:black;\">"), std::string::npos);
    EXPECT_NE(texte.find("<g id=\"carrefours\" style=\"font-size:8pt; font-family:Arial &lt;Narrow&gt;;\">"),
              std::string::npos);
    for (const char* absent : {"id=\"nord\"", "id=\"echelle\"", "id=\"quadrillage\"", "<circle", "<text", "i:layer"})
        EXPECT_EQ(texte.find(absent), std::string::npos) << absent;
    // Width points: circles of Epaisseur_Largeur / 20 mm.
    o.Representation_Largeur = 2;
    o.Epaisseur_Largeur = 4;
    EXPECT_NE(Exporte(false, false).find("r=\"0.20mm\"/>"), std::string::npos);
}

TEST_F(SvgExemple, EveryLayerWhateverTheOptions)
{
    TOptions_Plan& o = ctx.options;
    o.diametre = 0;
    o.Texte_Station = 0;
    o.Affiche_Quadri = false;
    o.Pas = 0;
    const std::string texte = Exporte(false, true);
    // Circles of radius 0, labels with the bare name, an empty grid group for a step of 0.
    EXPECT_NE(texte.find("r=\"0.00mm\"/>"), std::string::npos);
    EXPECT_NE(texte.find(">P&lt;0&gt;</text>"), std::string::npos);
    EXPECT_NE(texte.find("<g id=\"quadrillage\" style=\"stroke-width:0.00mm; stroke:black;\">\r\n</g>\r\n</svg>\r\n"),
              std::string::npos);
}

TEST_F(Svg, AFileThatCannotBeWrittenIsReported)
{
    auto erreur = [&](const std::string& chemin) {
        try {
            plan.ExporteSVG(chemin, false, true);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("exporté");
    };
    const std::string absent = Chemin("absent/plan.svg");
    EXPECT_EQ(erreur(absent),
              "Impossible d'enregistrer le fichier " + absent + " : le dossier " + Chemin("absent") + " n'existe pas.");
    // A disk that fills up during the export leaves the earlier drawing whole, and nothing else.
    const std::string chemin = Chemin("plan.svg");
    std::ofstream(chemin, std::ios::binary) << "<svg>ancien</svg>";
    {
        essai::TailleLimitee disquePlein(64);
        EXPECT_EQ(erreur(chemin), "Erreur d'écriture dans le fichier " + chemin +
                                      " : le fichier dépasserait la taille maximale permise");
    }
    EXPECT_EQ(Lit(chemin), "<svg>ancien</svg>");
    EXPECT_EQ(QDir(dossier.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"plan.svg"});
}

TEST(SvgTextes, EscapesAndNames)
{
    EXPECT_EQ(TexteXml("a&b<c>d\"e\xE9\x80\x9C\x01"), "a&amp;b&lt;c&gt;d&quot;e\xE9&#8364;&#339;");
    EXPECT_EQ(NomSansDossier("C:\\Topo\\Grotte.mas"), "Grotte.mas");
    EXPECT_EQ(NomSansDossier("/home/a/b.fic"), "b.fic");
    EXPECT_EQ(NomSansDossier("A:x.fic"), "x.fic");
    EXPECT_EQ(Mm(1.0 / 3), "0.33mm");
    EXPECT_EQ(Mm(-2.005), "-2.00mm");
    EXPECT_EQ(Mm(-0.001), "0.00mm");
    // The forms the section writes.
    EXPECT_EQ(LigneSVG(1, 2, 3, 4.5, 5),
              "<line x1=\"1.00mm\" y1=\"2.00mm\" x2=\"3.00mm\" y2=\"4.50mm\" style=\"stroke-width:0.50mm; "
              "stroke:black;\"/>");
    EXPECT_EQ(
        TexteAncreSVG(1, 2, "A&B", 8, "Arial", "end"),
        "<text x=\"1.00mm\" y=\"2.00mm\" style=\"font-size:8pt; font-family:Arial; text-anchor: end\">A&amp;B</text>");
    EXPECT_EQ(CoucheSVG("echelles verticales", true), "<g id=\"echelles verticales\" i:layer=\"yes\">");
    EXPECT_EQ(GroupePoliceSVG(10, "Arial", true),
              "<g style=\"font-size:10pt; font-family:Arial; text-anchor: middle\">");
}

}  // namespace

namespace {

TEST(DialogueSvg, BoxesGiveTheExportArguments)
{
    AssureApplication();
    TDlg_SVG dlg;
    EXPECT_EQ(dlg.objectName(), "Dlg_SVG");
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Exportation SVG"));
    auto* toutes = dlg.findChild<QCheckBox*>("CheckBoxToutes");
    auto* illustrator = dlg.findChild<QCheckBox*>("CheckBoxIllustrator");
    ASSERT_TRUE(toutes && illustrator);
    EXPECT_EQ(toutes->text(), QString::fromUtf8("Couches visibles seulement"));
    EXPECT_EQ(illustrator->text(), QString::fromUtf8("Couches compatibles Illustrator"));
    // Both unchecked: every layer, no Illustrator marks.
    EXPECT_TRUE(dlg.Toutes());
    EXPECT_FALSE(dlg.Illustrator());
    toutes->setChecked(true);
    illustrator->setChecked(true);
    EXPECT_FALSE(dlg.Toutes());
    EXPECT_TRUE(dlg.Illustrator());
    auto* annuler = dlg.findChild<QPushButton*>("Annuler");
    ASSERT_TRUE(annuler && dlg.findChild<QPushButton*>("OK"));
    annuler->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    // The boxes keep their state for the next export.
    EXPECT_TRUE(toutes->isChecked());
}

}  // namespace
