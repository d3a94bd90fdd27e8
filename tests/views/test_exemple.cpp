// The plan of the sample massif, computed as the program computes it: its SVG is
// well-formed XML with every layer, and its screen drawing shows the survey.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "views/plan.h"
#include "vues_factices.h"

using namespace karst;
using namespace karst::test;

namespace {

TEST(PlanExemple, ComputedSampleMassif)
{
    AssureApplication();
    ContexteFactice ctx;
    ASSERT_TRUE(ChargeExemple(ctx.massif));
    ctx.options.Texte_Station = 2;
    ctx.options.Affiche_Quadri = true;
    ctx.options.Pas = 50;
    ctx.options.Longueur_Quadri = 4;
    ctx.options.Representation_Largeur = 2;
    ctx.options.X_Echelle = ctx.massif.References[0]->X;
    ctx.options.Y_Echelle = ctx.massif.References[0]->Y;
    TPlan plan(ctx);
    plan.Tourne(15);
    CanvasImage image(1600, 1600);
    int l, h;
    plan.Echelle = 10000;
    plan.Dimensions(l, h, 96 / 25.4, 1, image);
    ASSERT_TRUE(plan.Donnees);
    plan.Dessine(0, 0, 96 / 25.4, 1, image, ModeContrainte);
    int encre = 0;
    for (int y = 0; y < std::min(h, 1600); ++y)
        for (int x = 0; x < std::min(l, 1600); ++x)
            encre += image.Pixel(x, y) != kBlanc;
    EXPECT_GT(encre, 500) << l << " x " << h;

    QTemporaryDir dossier;
    for (bool illustrator : {false, true}) {
        const std::string chemin = dossier.filePath("pierrefeu.svg").toStdString();
        plan.ExporteSVG(chemin, illustrator, true);
        std::ifstream f(chemin, std::ios::binary);
        std::ostringstream contenu;
        contenu << f.rdbuf();
        QXmlStreamReader xml(QByteArray::fromStdString(contenu.str()));
        std::vector<std::string> couches;
        int lignes = 0, textes = 0, profondeur = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                ++profondeur;
                if (xml.name() == u"g" && profondeur == 2)
                    couches.push_back(xml.attributes().value("id").toString().toStdString());
                lignes += xml.name() == u"line";
                textes += xml.name() == u"text";
            } else if (xml.isEndElement()) {
                --profondeur;
            }
        }
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " line " << xml.lineNumber();
        EXPECT_EQ(couches, (std::vector<std::string>{"visees", "parois", "largeurs", "stations", "carrefours", "nord",
                                                     "echelle", "quadrillage"}));
        EXPECT_GT(lignes, 300);
        EXPECT_GT(textes, 10);
        EXPECT_NE(contenu.str().find("<title>pierrefeu.mas</title>"), std::string::npos);
    }
}

}  // namespace
