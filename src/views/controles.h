#pragma once
// Controls shared by the option dialogs: number edits that drop the keys a number cannot
// hold, radio groups read by item index, font and colour buttons over the dialog's working
// values, the value transfers between controls and option fields, and a builder that lays
// out the labelled rows of a page. Every control is named after the option field it edits.

#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/canvas.h"

class QButtonGroup;
class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QWidget;
class QTabWidget;
class QLayout;

namespace karst {

// Entier: digits and backspace; Reel: also '.' and '-'.
enum class GenreTouches { Entier, Reel };

// Discards every typed character its kind refuses; keys that type nothing (arrows, tab,
// shortcuts) pass.
class FiltreTouches : public QObject {
    Q_OBJECT
public:
    FiltreTouches(GenreTouches genre, QObject* parent) : QObject(parent), genre_(genre) {}
    static bool Accepte(GenreTouches genre, QChar c);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    GenreTouches genre_;
};

void FiltreCles(QLineEdit* edition, GenreTouches genre);

// A group of exclusive choices whose value is the index of the chosen item (-1: none),
// as the options store it.
class GroupeRadio : public QGroupBox {
    Q_OBJECT
public:
    GroupeRadio(const QString& titre, const QStringList& items, QWidget* parent);
    int ItemIndex() const;
    // An index outside the items chooses nothing.
    void FixeItemIndex(int index);

signals:
    void Change();

private:
    QButtonGroup* groupe_;
};

// "Police ..." buttons: the font dialog preset with the working font, which takes the
// confirmed choice.
class BoutonPolice : public QPushButton {
    Q_OBJECT
public:
    BoutonPolice(const QString& texte, Police* travail, QWidget* parent);
    Police* Travail() const { return travail_; }
    void FixeTravail(Police* p) { travail_ = p; }

private:
    Police* travail_;
};

// "Couleur ..." buttons: the colour dialog preset with the working colour, which takes the
// confirmed choice; the button shows it.
class BoutonCouleur : public QPushButton {
    Q_OBJECT
public:
    BoutonCouleur(const QString& texte, int32_t* travail, QWidget* parent);
    // Repaints the picture from the working colour.
    void Peint();

private:
    int32_t* travail_;
};

// The 16 x 16 picture of a colour button: a grey outline around a black-outlined square
// filled with the colour.
QImage ImageCouleur(Couleur couleur);

// Value transfers. Integers show as decimal text and read back as 0 when they are not an
// integer; a word keeps the low 16 bits. Reals show in the general format and read back as
// 0 when they are not a number.
void MontreEntier(QLineEdit* e, long long v);
int LitEntierEdition(const QLineEdit* e);
int16_t LitMot(const QLineEdit* e);
void MontreReel(QLineEdit* e, long double v, int precision);
long double LitReelEdition(const QLineEdit* e);
// Texts of the options are Windows-1252.
void MontreTexte(QLineEdit* e, const std::string& texte);
std::string LitTexte(const QLineEdit* e);

// A real that the option records cannot hold (beyond the six-byte or the single-precision
// range) would be lost on confirmation: refused with a message, the edit focused. True
// when every edit holds a storable value.
bool ReelsStockables(std::initializer_list<QLineEdit*> reels6, std::initializer_list<QLineEdit*> simples = {});

// Lays out labelled rows in a page or a group box.
class Formulaire {
public:
    explicit Formulaire(QWidget* conteneur);
    QWidget* Conteneur() const { return conteneur_; }

    QCheckBox* Case(const char* nom, const QString& libelle);
    QLineEdit* Entier(const char* nom, const QString& libelle, bool filtre = true);
    QLineEdit* Reel(const char* nom, const QString& libelle, bool filtre = true);
    QLineEdit* Texte(const char* nom, const QString& libelle);
    GroupeRadio* Radio(const char* nom, const QString& titre, const QStringList& items);
    BoutonPolice* BoutonFonte(const char* nom, const QString& texte, Police* travail);
    BoutonCouleur* BoutonTeinte(const char* nom, const QString& texte, int32_t* travail);
    QPushButton* Bouton(const char* nom, const QString& texte);
    // A group box on its own row, laid out by the returned builder.
    Formulaire Groupe(const QString& titre);
    void Ajoute(QWidget* w);
    // The label of a field's row.
    QLabel* Libelle(QWidget* champ) const;

private:
    QLineEdit* edition(const char* nom, const QString& libelle);
    QWidget* conteneur_;
    QFormLayout* forme_;
};

// "Valider" and "Annuler" under a dialog's pages; "Valider" is the default button. The
// caller connects "Valider" (which closes through its own checks) and the layout.
struct BoutonsDialogue {
    QPushButton* valider;
    QPushButton* annuler;
};
BoutonsDialogue AjouteBoutons(QWidget* dialogue, QLayout* colonne, const QString& valider = QStringLiteral("Valider"));

// A dialog of tabbed pages over "Valider" and "Annuler". "Valider" closes with OK once
// Verifie accepts the values; "Annuler" closes with Cancel.
class DialogueOptions : public QDialog {
    Q_OBJECT
public:
    DialogueOptions(const QString& titre, const char* nom, QWidget* parent,
                    const QString& valider = QStringLiteral("Valider"));
    QTabWidget* Onglets;
    QPushButton* Valider;
    QPushButton* Annuler;

protected:
    Formulaire Page(const QString& titre);
    // Runs before the dialog closes with OK; false keeps it open.
    virtual bool Verifie() { return true; }
};

}  // namespace karst
