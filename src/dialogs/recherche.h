#pragma once
// The criteria window "Recherche" that every sheet search opens first, and the matching
// of one sheet against its criteria.

#include <QDialog>
#include <initializer_list>
#include <string>
#include <vector>

#include "formulaires/controles.h"
#include "survey/modele.h"

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace karst {

// Key of a dd/mm/yy text that orders dates from 1950 to 2049. Blank parts count as the
// lowest value, or for an upper bound as the highest day and month; a part that is not a
// number counts for nothing.
int DateVersEntier(const std::string& date, bool borneHaute);

// What a search asks of a sheet. Texts are Windows-1252, already upper-cased (ASCII).
struct CriteresRecherche {
    enum class Date { Toutes, Le, Entre };
    int Indice = -1;  // -1: any index
    std::string Systeme, Cavite, Reseau, Lieu, Point, Topographe, Texte;
    Date ModeDate = Date::Toutes;
    std::string DateLe, DateApres, DateAvant;  // dd/mm/yy as typed

    bool Correspond(const TFiche& fiche) const;
};

class TBaseRecherche : public QDialog {
    Q_OBJECT
public:
    // The result of "&Tout sauf ..." (OK is QDialog::Accepted, Cancel QDialog::Rejected).
    static constexpr int ToutSauf = 2;

    explicit TBaseRecherche(QWidget* parent = nullptr);

    // The texts are Windows-1252: station name, then Système, Cavité, Réseau, Lieu.
    void Initialise(const ListeFiches* liste, ListeFiches* resultat, const std::string& point,
                    const std::string& systeme, const std::string& cavite, const std::string& reseau,
                    const std::string& lieu);
    void LitCriteres();
    bool Correspond(const TFiche& fiche) const { return Criteres.Correspond(fiche); }

    void BitBtn1Click() { Cherche(false); }
    void BitBtn2Click() { Cherche(true); }
    void Maj_Date();

    const ListeFiches* Liste = nullptr;
    ListeFiches* Resultat = nullptr;
    CriteresRecherche Criteres;

    QTabWidget* Pages;
    QLineEdit *Systeme, *Cavite, *Reseau, *Lieu;
    QRadioButton *Date_tout, *Date_exacte, *Date_interval;
    QLineEdit *Date_le, *Date_apres, *Date_Avant;
    QLineEdit *Topographe, *Point_Topo, *Indice, *DuTexte;
    QPushButton *Button1, *Button2, *Button3;

private:
    void Cherche(bool inverse);
};

// A radio button named after its field.
QRadioButton* NouveauRadio(const QString& texte, const char* nom, QWidget* parent);
// A dd/mm/yy box: eight characters, each digit may stay blank.
QLineEdit* EditionDate(const char* nom, QWidget* parent);
// Its text with the blanks kept ("  /05/98").
std::string LitDate(const QLineEdit* e);
void FixeDate(QLineEdit* e, const std::string& date);

}  // namespace karst
