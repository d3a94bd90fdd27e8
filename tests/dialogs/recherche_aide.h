#pragma once
// What the search, station and reference tests share: the application, a script of modal
// windows worked in turn, and small sheets.

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "hote_factice.h"
#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "views/vues_factices.h"

namespace karst::test {

// One application for the whole test program, shared with the other dialog tests.
inline void Application() { App(); }

// Each modal window shown takes the next step: the window's name, then what is done in it;
// the step gives the window's result.
class ScenarioModal {
public:
    struct Etape {
        QString fenetre;
        std::function<int(QDialog&)> action;
    };
    std::deque<Etape> etapes;
    std::vector<QString> montrees;

    ScenarioModal()
        : pilote_([this](QDialog& d) {
              montrees.push_back(d.objectName());
              if (etapes.empty()) {
                  ADD_FAILURE() << "unexpected window " << d.objectName().toStdString();
                  return int(QDialog::Rejected);
              }
              Etape e = std::move(etapes.front());
              etapes.pop_front();
              EXPECT_EQ(d.objectName(), e.fenetre);
              return e.action(d);
          })
    {}
    void Ajoute(const QString& fenetre, std::function<int(QDialog&)> action)
    {
        etapes.push_back({fenetre, std::move(action)});
    }

private:
    PiloteModalInstalle pilote_;
};

// Clicks the named button of the window and gives the window's result.
inline int Clique(QDialog& d, const char* bouton)
{
    auto* b = d.findChild<QPushButton*>(QString::fromLatin1(bouton));
    EXPECT_NE(b, nullptr) << bouton;
    if (b)
        b->click();
    return d.result();
}

inline TFiche& FicheA(TMassif& m, const std::string& systeme, const std::string& date = "01/01/00",
                      const std::string& topographe = "Durand")
{
    TFiche& f = AjouteFiche(m, systeme);
    f.Date = date;
    f.Topographes.emplace_back(topographe);
    return f;
}

inline void NommeGalerie(TGalerie& g, const std::string& depart, int iDepart, const std::string& arrivee, int iArrivee)
{
    g.Depart.Nom.Affecte(depart);
    g.Depart.Indice = static_cast<uint8_t>(iDepart);
    g.Arrivee.Nom.Affecte(arrivee);
    g.Arrivee.Indice = static_cast<uint8_t>(iArrivee);
}

}  // namespace karst::test
