#pragma once
// Helpers of the exchange tests: a recording report, temporary files and a text dump of
// what an import put into a massif.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "exchange/echange.h"
#include "survey/aide_fichiers.h"
#include "survey/modele.h"
#include "survey/nombres.h"

namespace karst::test {

class RapportFaux : public TRapportEchange {
public:
    void Statut(const std::string& t) override { statuts.push_back(t); }
    void Message(const std::string& t) override { messages.push_back(t); }
    void Avertissement(const std::string& t) override { avertissements.push_back(t); }
    // The caver imports nothing.
    ChoixDeclinaison DeclinaisonNonReglee(const std::string& t) override
    {
        questions.push_back(t);
        return ChoixDeclinaison::Annule;
    }
    bool CaracteresPerdus(const std::string& t) override
    {
        questions.push_back(t);
        return garde;
    }
    bool garde = false;
    std::vector<std::string> statuts, messages, avertissements, questions;
};

// A fresh folder for the test's files, removed afterwards.
class Dossier {
public:
    Dossier()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        chemin_ = std::filesystem::temp_directory_path() /
                  ("karst_echange_" + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(chemin_);
        std::filesystem::create_directories(chemin_);
    }
    ~Dossier() { std::filesystem::remove_all(chemin_); }
    std::string Fichier(const std::string& nom) const { return (chemin_ / nom).string(); }
    std::string Ecrit(const std::string& nom, const std::string& octets) const
    {
        std::ofstream f(Fichier(nom), std::ios::binary);
        f.write(octets.data(), static_cast<std::streamsize>(octets.size()));
        return Fichier(nom);
    }

private:
    std::filesystem::path chemin_;
};

inline std::string LitTout(const std::string& fichier) { return essai::Contenu(fichier); }

inline std::string Donnee(const std::string& nom) { return LitTout(std::string(KARST_TEST_DATA) + "/" + nom); }

// Appends a shot in metres and degrees.
inline TVisee* Vise(TGalerie& g, long double l, long double az, long double pente)
{
    auto v = std::make_unique<TVisee>();
    v->Longueur = l;
    v->Azimut = az;
    v->Pente = pente;
    return g.AjouteVisee(std::move(v));
}

// The message of the import refused, or "importé".
template <class F>
std::string Refus(F importe)
{
    try {
        importe();
    } catch (const ErreurEchange& e) {
        return e.what();
    }
    return "importé";
}

inline std::string Point(const TPointTopo& p)
{
    if (p.Terminus)
        return "terminus";
    return p.Nom.Chaine() + "#" + FormatEntier(p.Indice);
}

// Every sheet, gallery and shot of the massif, and its reference points, one per line.
inline std::string Decrit(const TMassif& m)
{
    std::string r;
    for (const TPointTopo* p : m.References)
        r += "ref " + Point(*p) + " " + FormatGeneral(p->X, 10) + " " + FormatGeneral(p->Y, 10) + " " +
             FormatGeneral(p->Z, 10) + "\n";
    for (const TFiche* f : m.Fiches) {
        r += "fiche " + FormatEntier(f->Ordre) + " " + f->Date.str() + " " + f->Cavite.Chaine() + " decli " +
             FormatGeneral(f->Declinaison, 8) + " u" + FormatEntier(f->Unite_Decli) + " topo";
        for (const TEco& t : f->Topographes)
            r += " [" + t.Chaine() + "]";
        r += "\n";
        for (const TGalerie* g : f->Galeries) {
            r += " galerie " + Point(g->Depart) + " -> " + Point(g->Arrivee) + " [" + g->Commentaire.Chaine() + "] c" +
                 FormatEntier(g->Couleur) + " k" + FormatGeneral(g->CoefTopofil, 8) + "\n";
            for (int k = 1; k <= g->NbVisees; ++k) {
                const TVisee& v = *g->Visee(k);
                r += "  " + FormatGeneral(v.Longueur, 10) + "/" + FormatEntier(v.UniteLongueur) + " " +
                     FormatGeneral(v.Azimut, 10) + "/" + FormatEntier(v.UniteAzimut) + " " +
                     FormatGeneral(v.Pente, 10) + "/" + FormatEntier(v.UnitePente) + " G" + v.Gauche.str() + " D" +
                     v.Droite.str() + " H" + v.Haut.str() + " B" + v.Bas.str() + " T" +
                     (v.AvecTopofil ? FormatGeneral(v.Topofil, 10) : "-") + " {" + v.Commentaire.Chaine() + "}\n";
            }
        }
    }
    return r;
}

}  // namespace karst::test
