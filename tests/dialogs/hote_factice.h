#pragma once
// A fake main window for the explorer, the wizard and the statistics, and massifs built
// from sheet addresses.

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/hote_dialogues.h"
#include "views/vues_factices.h"

namespace karst::test {

class HoteFactice : public HoteDialogues {
public:
    std::unique_ptr<TMassif> massif = std::make_unique<TMassif>();
    bool pageWeb = false;
    int style = 3;
    // The computation requests, with their `automatique` argument.
    std::vector<bool> demandesCalcul;
    int vuesRafraichies = 0, menus = 0, recuperer = 0, miseAJourExploreur = 0;
    int declinaisons = 0, references = 0;
    QString etat[3];
    struct Edition {
        TFiche* fiche;
        int galerie;
        bool avecAdresse;
        Adresse adresse;
        unsigned champs;
    };
    std::vector<Edition> editions;
    // The search answers with this sheet and gallery when set.
    TFiche* rechercheFiche = nullptr;
    int rechercheGalerie = -1;
    std::vector<Adresse> recherches;
    // Answers of the save prompt and of the open dialog (empty: cancelled).
    bool enregistrement = true;
    std::vector<std::string> fichiers;
    std::vector<std::string> journal;

    TMassif* Massif() override { return massif.get(); }
    bool PageWeb() override { return pageWeb; }
    int StyleListe() override { return style; }
    void RafraichitVues() override { ++vuesRafraichies; }
    void MiseAJourMenus() override { ++menus; }
    void TexteEtat(int p, const QString& t) override { etat[p] = t; }
    void ActiveRecuperer() override { ++recuperer; }
    void DemandeCalcul(bool automatique) override { demandesCalcul.push_back(automatique); }
    void EditeFiche(TFiche* f, int g, const Adresse* a, unsigned champs) override
    {
        editions.push_back({f, g, a != nullptr, a ? *a : Adresse{}, champs});
    }
    bool RechercheSimple(const ListeFiches&, const Adresse& lieu, const std::string&, int, TFiche*& choisie,
                         int& galerie) override
    {
        recherches.push_back(lieu);
        choisie = rechercheFiche;
        galerie = rechercheGalerie;
        return rechercheFiche != nullptr;
    }
    bool DemandeEnregistrement(bool) override
    {
        journal.push_back("enregistrement");
        return enregistrement;
    }
    void FermeMassif() override
    {
        journal.push_back("ferme");
        massif.reset();
    }
    bool OuvreMassif(const std::string& nom) override
    {
        journal.push_back("ouvre " + nom);
        massif = std::make_unique<TMassif>();
        massif->NomFichier = nom;
        return true;
    }
    bool ChoisitMassif(std::string& nom) override
    {
        if (fichiers.empty() || fichiers.front().empty())
            return false;
        nom = fichiers.front();
        fichiers.erase(fichiers.begin());
        return true;
    }
    void Declinaisons() override { ++declinaisons; }
    void References() override { ++references; }
    void DemandeMiseAJourExploreur() override { ++miseAJourExploreur; }
};

// The command line, with room for a file name.
inline int argcEssai = 1;
inline char nomEssai[] = "dialogs_tests";
inline char* argvEssai[] = {nomEssai, nullptr, nullptr};

inline QApplication& App()
{
    static QApplication* app = new QApplication(argcEssai, argvEssai);
    return *app;
}

// A sheet of that address and date, with one placed gallery from (x, y) going east by
// `longueur` metres in two shots.
inline TFiche& Fiche(TMassif& m, const Adresse& a, const std::string& date = "01/01/90", double x = 0, double y = 0,
                     double longueur = 10)
{
    auto f = std::make_unique<TFiche>();
    f->Systeme.Affecte(a[0]);
    f->Cavite.Affecte(a[1]);
    f->Reseau.Affecte(a[2]);
    f->Lieu.Affecte(a[3]);
    f->Date = date;
    AjouteGalerie(*f, "A", "B", {x, y}, {{x + longueur / 2, y}, {x + longueur, y}});
    return *m.AjouteFiche(std::move(f), false);
}

}  // namespace karst::test
