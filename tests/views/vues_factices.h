#pragma once
// A fake main window for the views and small massifs built station by station.

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "calcul/calculateur.h"
#include "platform/imprimante.h"
#include "survey/modele.h"
#include "views/contexte.h"
#include "views/options.h"

namespace karst::test {

// The whole content of a file, as bytes.
inline std::string Lit(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The recorded calls of one kind, and the corners of a line, ellipse or rectangle.
inline std::vector<Trace> DuGenre(const std::vector<Trace>& traces, Trace::Genre g)
{
    std::vector<Trace> r;
    for (const Trace& t : traces)
        if (t.genre == g)
            r.push_back(t);
    return r;
}
inline std::vector<Trace> DuGenre(const CanvasEnregistreur& c, Trace::Genre g) { return DuGenre(c.Traces, g); }
inline std::tuple<int, int, int, int> Coins(const Trace& t) { return {t.x0, t.y0, t.x1, t.y1}; }

inline void AssureApplication()
{
    static int argc = 1;
    static char nom[] = "views_tests";
    static char* argv[] = {nom, nullptr};
    // Never destroyed: windows that live until the application ends (the section's branch
    // dialog) are then not torn down after the program's exit has begun.
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}

class ContexteFactice : public ContexteVues {
public:
    TMassif massif;
    TOptions_Plan options;
    TOptions_Relief relief;
    TOptions_Tableau tableau;
    TriTableau tri = TriTableau::OrdreDeSaisie;
    TMarge marges;
    ChoixBulle bulles;
    // An A4 page at 600 dpi with a printable area of 200 x 287 mm.
    ImprimanteFactice imprimante{4724, 6780, 200, 287, 600};
    bool sansMassif = false;
    bool sansOptions = false;

    TMassif* Massif() override { return sansMassif ? nullptr : &massif; }
    const TOptions_Plan* OptionsPlan() override { return sansOptions ? nullptr : &options; }
    const TOptions_Relief* OptionsRelief() override { return sansOptions ? nullptr : &relief; }
    ChoixBulle Bulles() override { return bulles; }
    TImprimante& Imprimante() override { return imprimante; }
    int PixelsParPouceVuePlan() override { return 96; }
    TOptions_Tableau* OptionsTableau() override { return sansOptions ? nullptr : &tableau; }
    TriTableau OrdreTableau() override { return tri; }
    const TMarge* Marges() override { return &marges; }
    // Called where the views let the application process its messages.
    std::function<void()> messages;
    void TraiteMessages() override
    {
        if (messages)
            messages();
    }
};

struct Point3 {
    double x, y, z = 0;
};

// A placed gallery from `depart` through the given stations; each shot is measured as the
// straight distance (metres) and its relative end is the sum of the placed shots.
inline TGalerie& AjouteGalerie(TFiche& fiche, const std::string& nomDepart, const std::string& nomArrivee,
                               Point3 depart, const std::vector<Point3>& stations)
{
    auto g = std::make_unique<TGalerie>();
    g->Depart.Nom.Affecte(nomDepart);
    g->Depart.Indice = 1;
    g->Arrivee.Nom.Affecte(nomArrivee);
    g->Arrivee.Indice = 2;
    g->Depart.X = depart.x;
    g->Depart.Y = depart.y;
    g->Depart.Z = depart.z;
    Point3 avant = depart;
    for (const Point3& s : stations) {
        auto v = std::make_unique<TVisee>();
        const double dx = s.x - avant.x, dy = s.y - avant.y, dz = s.z - avant.z;
        v->Longueur = std::sqrt(dx * dx + dy * dy + dz * dz);
        v->Horizontale = std::sqrt(dx * dx + dy * dy);
        if (dx != 0 || dy != 0)
            v->Azimut = std::fmod(std::atan2(dx, dy) * 180 / 3.14159265358979323846 + 360, 360);
        v->X = s.x - depart.x;
        v->Y = s.y - depart.y;
        v->Z = s.z - depart.z;
        g->AjouteVisee(std::move(v));
        TStation st;
        st.X = s.x;
        st.Y = s.y;
        st.Z = s.z;
        g->Stations.push_back(st);
        avant = s;
    }
    g->Arrivee.X = avant.x;
    g->Arrivee.Y = avant.y;
    g->Arrivee.Z = avant.z;
    g->Placee = true;
    return *fiche.Galeries.ajoute(std::move(g));
}

// The sample massif, loaded and computed as the program computes it, every station placed.
inline bool ChargeExemple(TMassif& m)
{
    m.NomFichier = (std::filesystem::path(KARST_EXAMPLES) / "pierrefeu.mas").string();
    if (m.Charge().etat != EtatChargement::Charge)
        return false;
    TCalculateur calcul;
    calcul.Charge(m.Fiches, m.References, 1);
    calcul.CalculeTout(false);
    if (!calcul.Reussi)
        return false;
    m.PlaceTousPoints();
    return true;
}

inline TFiche& AjouteFiche(TMassif& m, const std::string& systeme = "Sys")
{
    auto f = std::make_unique<TFiche>();
    f->Systeme.Affecte(systeme);
    f->Cavite.Affecte("Grotte");
    f->Reseau.Affecte("Amont");
    f->Lieu.Affecte("Salle");
    return *m.AjouteFiche(std::move(f), false);
}

// Options with nothing but the centrelines, so that a test sees only what it switches on.
inline void OptionsNues(TOptions_Plan& o)
{
    o.Affiche_Nord = o.Affiche_Echelle = o.Afficher_Habillage = o.Affiche_Quadri = false;
    o.diametre = 0;
    o.Texte_Station = 0;
    o.Representation_Largeur = 0;
}

}  // namespace karst::test
