#pragma once
// Controls shared by the option dialogs: number edits that drop the keys no number is
// written with, the one check of every number field, radio groups read by item index, font
// and colour buttons over the dialog's working values, the value transfers between controls
// and option fields, and a builder that lays out the labelled rows of a page. Every control
// is named after the option field it edits.

#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/canvas.h"
#include "survey/modele.h"
#include "survey/reel6.h"
#include "survey/textes.h"
#include "views/lecteur_modele.h"

class QButtonGroup;
class QCheckBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;
class QTabWidget;
class QTableWidgetItem;
class QLayout;

namespace karst {

// The numbers a field holds: `Naturel` digits only, `Positif` with a decimal point too,
// `Relatif` with a sign as well.
enum class GenreNombre { Naturel, Positif, Relatif };

// Discards every typed character that no number of the field's kind is written with: the
// digits, and the decimal point ('.' or ',') and the sign where the field takes them, pass,
// so that a value the field cannot store is refused with a message when confirmed, never
// silently changed by a dropped key. Keys that type nothing (arrows, tab, shortcuts) pass.
class FiltreTouches : public QObject {
    Q_OBJECT
public:
    explicit FiltreTouches(QObject* parent, GenreNombre genre = GenreNombre::Relatif) : QObject(parent), genre_(genre)
    {}
    static bool Accepte(QChar c, GenreNombre genre = GenreNombre::Relatif);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    GenreNombre genre_;
};

void FiltreCles(QLineEdit* edition, GenreNombre genre = GenreNombre::Relatif);

// The labels of a unit table, in its order, as the lists show them.
QStringList LibellesUnites(std::span<const UniteMesure> unites);

// Controls of the dialogs, named after their field.
QPushButton* NouveauBouton(const QString& texte, const char* nom, QWidget* parent);
QLineEdit* NouvelleEdition(const char* nom, QWidget* parent);
// The buttons of a dialog, right-aligned on one row.
QHBoxLayout* LigneBoutons(std::initializer_list<QPushButton*> boutons);

// The buttons between the source list and the kept list of a picker (">", ">>", "<", "<<"),
// made as the picker's controls of those names.
template <class D>
void BoutonsTransfert(D& d)
{
    d.IncludeBtn = NouveauBouton(QStringLiteral(">"), "IncludeBtn", &d);
    d.IncAllBtn = NouveauBouton(QStringLiteral(">>"), "IncAllBtn", &d);
    d.ExcludeBtn = NouveauBouton(QStringLiteral("<"), "ExcludeBtn", &d);
    d.ExAllBtn = NouveauBouton(QStringLiteral("<<"), "ExAllBtn", &d);
}

// A move is offered while the list it takes from has items.
template <class D>
void ActiveTransferts(D& d)
{
    d.IncludeBtn->setEnabled(d.SrcList->count() > 0);
    d.IncAllBtn->setEnabled(d.SrcList->count() > 0);
    d.ExcludeBtn->setEnabled(d.DstList->count() > 0);
    d.ExAllBtn->setEnabled(d.DstList->count() > 0);
}

// The list of records beside the editor that shows one of them (vertical scales, table
// columns, header items). Leaving the record shown may be refused, when it holds a value it
// cannot store: the dialog then makes that record's line current again, and the line
// highlighted follows the current one whatever the mouse went on to select, so that the
// record seen, the line highlighted and the record the buttons act on are one.
class ListeEditee : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void SuitCourante();
};

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
// 0 when they are not a number. Dialogs check their fields (LitEntierChamp, LitReelChamp)
// before they read them.
void MontreEntier(QLineEdit* e, long long v);
int LitEntierEdition(const QLineEdit* e);
int16_t LitMot(const QLineEdit* e);
// A real is often shown with fewer digits than it holds: the control remembers the value
// with the text shown for it, and that text read back unchanged gives the value itself, so
// that a value confirmed as it was stays exactly as it was.
void MontreReel(QLineEdit* e, long double v, int precision, int chiffresExposant = 0);
void MontreReel(QTableWidgetItem* c, long double v, int precision, int chiffresExposant = 0);
// A value the caver typed shows every digit it holds: `precision` digits when they read back
// to it, else the fewest that do. Read back with LitReelMontre.
void MontreSaisi(QLineEdit* e, long double v, int precision, int chiffresExposant = 0);
void MontreSaisi(QTableWidgetItem* c, long double v, int precision, int chiffresExposant = 0);
long double LitReelEdition(const QLineEdit* e);
// The value shown when the text is unchanged, otherwise the typed value; false when that is
// not a real the six-byte format can hold.
bool LitReelMontre(const QLineEdit* e, long double& v);
bool LitReelMontre(const QTableWidgetItem* c, long double& v);
// Texts of the options are Windows-1252.
void MontreTexte(QLineEdit* e, const std::string& texte);
std::string LitTexte(const QLineEdit* e);
void MontreCase(QCheckBox* c, bool coche);
bool LitCase(const QCheckBox* c);

// Every number field of every dialog stores what was typed or refuses it. A field holds an
// integer when its whole text is one within [min, max] (or the value shown, which a model
// file may hold out of that range), a real when its text is the one shown for the stored
// value or a typed real (one comma as the decimal point) the data model can store; an empty
// field stands for 0. A field that does not is refused: a message names the
// field and says why, its page is shown, it takes the focus with its text selected; false,
// and the caller stores nothing.
bool LitEntierChamp(QLineEdit* e, long long min, long long max, long long& v);
bool LitReelChamp(QLineEdit* e, long double& v);
// A station index, 1 to 255: anything else is refused with a message that says which, the
// field focused; false.
bool LitIndiceChamp(QLineEdit* e, int& indice);
// The same checks for several fields, in order; false at the first refused.
bool EntiersAdmis(std::initializer_list<QLineEdit*> champs, long long min, long long max);
bool ReelsAdmis(std::initializer_list<QLineEdit*> champs);
// The refusal of a field whose value its dialog judged wrong, with the reason given.
bool RefuseChamp(QLineEdit* e, const QString& raison);
// The message of a refusal, for fields that are not edits of the dialog (input boxes).
void AvertitRefus(const QString& champ, const QString& texte, const QString& raison);
// The reason given for an integer outside [min, max] or not an integer.
QString ExigeEntier(long long min, long long max);
// The reason given for a real outside [min, max].
QString ExigeReel(long long min, long long max);
inline bool DansBornesReel(long double v, long long min, long long max) { return v >= min && v <= max; }

// A dd/mm/yy box that also takes the year in four digits ("07/12/2026"), as cavers often
// type it, and shows it in two once left.
void AccepteAnneeLongue(QLineEdit* e);
// The dd/mm/yy text of such a box, blanks kept: a four-digit year within the century the
// two-digit years stand for (1950 to 2049) gives its last two digits. False for any other
// year typed past the two digits, which would otherwise be cut or read in another century.
bool LitDateLongue(const QLineEdit* e, std::string& date);
// The reason given when it is false.
QString ExigeAnnee();
// The text a refusal quotes: as shown, without the blanks of year digits left unused.
QString TexteDateMontre(const QLineEdit* e);
// The name a message gives a field: its label (or accessible name), after the title of the
// group that holds it.
QString NomChamp(const QWidget* e);

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
    void Ajoute(const QString& libelle, QWidget* w);
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

// The controls of a dialog tied each to its field of the option record O: filled from the
// record, read back into it by the transfer rules.
template <class O>
class Liaisons {
public:
    void Lie(QCheckBox* c, bool O::*champ);
    // An integer field takes the integers of its type from `min` up.
    template <class E>
    requires std::is_integral_v<E>
    void Lie(QLineEdit* e, E O::*champ, long long min = std::numeric_limits<E>::min(),
             long long max = std::numeric_limits<E>::max());
    void Lie(QLineEdit* e, Reel6 O::*champ, int precision);
    // A single-precision field takes a real of [min, max].
    void Lie(QLineEdit* e, float O::*champ, int precision, long long min, long long max);
    void Lie(QLineEdit* e, TexteCourt<25> O::*champ);
    void Lie(GroupeRadio* g, int16_t O::*champ);
    // Two items: the field is true exactly when item 1 is chosen.
    void Lie(GroupeRadio* g, bool O::*champ);

    void Montre(const O& o) const
    {
        for (const Lien& l : liens_)
            l.montre(o);
    }
    void Lit(O& o) const
    {
        for (const Lien& l : liens_)
            l.lit(o);
    }
    // Checks every number field before anything is read; false at the first refused.
    bool Verifie() const
    {
        for (const Lien& l : liens_)
            if (l.verifie && !l.verifie())
                return false;
        return true;
    }

private:
    struct Lien {
        std::function<void(const O&)> montre;
        std::function<void(O&)> lit;
        std::function<bool()> verifie = {};
    };
    std::vector<Lien> liens_;
};

// A page or group whose rows are tied to fields of O as they are made.
template <class O>
class FormulaireLie : public Formulaire {
public:
    FormulaireLie(const Formulaire& f, Liaisons<O>& liens) : Formulaire(f), liens_(liens) {}
    using Formulaire::Case;
    using Formulaire::Entier;
    using Formulaire::Radio;
    using Formulaire::Reel;
    using Formulaire::Texte;

    QCheckBox* Case(const char* nom, const QString& libelle, bool O::*champ)
    {
        return lie(Formulaire::Case(nom, libelle), champ);
    }
    // An integer edit takes the range its record gives the field; failing that, a filtered
    // one takes no negative value.
    template <class Entier_>
    QLineEdit* Entier(const char* nom, const QString& libelle, Entier_ O::*champ, bool filtre = true)
    {
        QLineEdit* e = Formulaire::Entier(nom, libelle, filtre);
        long long min = filtre ? 0 : std::numeric_limits<Entier_>::min(), max = std::numeric_limits<Entier_>::max();
        BorneChamp(champ, min, max);
        liens_.Lie(e, champ, min, max);
        return e;
    }
    QLineEdit* Reel(const char* nom, const QString& libelle, Reel6 O::*champ, int precision = 6, bool filtre = true)
    {
        QLineEdit* e = Formulaire::Reel(nom, libelle, filtre);
        liens_.Lie(e, champ, precision);
        return e;
    }
    QLineEdit* Reel(const char* nom, const QString& libelle, float O::*champ, int precision, bool filtre)
    {
        QLineEdit* e = Formulaire::Reel(nom, libelle, filtre);
        long long min = 0, max = 0;
        BorneChamp(champ, min, max);
        liens_.Lie(e, champ, precision, min, max);
        return e;
    }
    QLineEdit* Texte(const char* nom, const QString& libelle, TexteCourt<25> O::*champ)
    {
        return lie(Formulaire::Texte(nom, libelle), champ);
    }
    template <class Champ>
    GroupeRadio* Radio(const char* nom, const QString& titre, const QStringList& items, Champ O::*champ)
    {
        return lie(Formulaire::Radio(nom, titre, items), champ);
    }
    FormulaireLie Groupe(const QString& titre) { return FormulaireLie(Formulaire::Groupe(titre), liens_); }

private:
    template <class W, class C>
    W* lie(W* w, C O::*champ)
    {
        liens_.Lie(w, champ);
        return w;
    }
    Liaisons<O>& liens_;
};

// The north arrow's page, alike in the plan and the perspective (Z only where the options
// have one). It fills the dialog's own controls, which bear the names of their fields.
template <class D, class O>
void PageNord(D& d, FormulaireLie<O> f, Police* travail)
{
    d.Affiche_Nord = f.Case("Affiche_Nord", QStringLiteral("&Afficher"), &O::Affiche_Nord);
    d.Representation = f.Radio("Representation", QStringLiteral("Représentation"),
                               {QStringLiteral("Projection"), QStringLiteral("Géographique")}, &O::Representation);
    d.X_Nord = f.Reel("X_Nord", QStringLiteral("&X /km"), &O::X_Nord);
    d.Y_Nord = f.Reel("Y_Nord", QStringLiteral("&Y /km"), &O::Y_Nord);
    if constexpr (requires { &O::Z_Nord; })
        d.Z_Nord = f.Reel("Z_Nord", QStringLiteral("&Z /m"), &O::Z_Nord);
    d.Epaisseur_Nord = f.Entier("Epaisseur_Nord", QStringLiteral("&Epaisseur (mm/10)"), &O::Epaisseur_Nord);
    d.Long_Nord = f.Entier("Long_Nord", QStringLiteral("&Longueur (mm)"), &O::Long_Nord);
    d.Texte_Nord = f.Texte("Texte_Nord", QStringLiteral("&Texte"), &O::Texte_Nord);
    d.Police_Nord = f.BoutonFonte("Police_Nord", QStringLiteral("&Police ..."), travail);
}

// The station circles and labels, alike in the plan, the perspective and the section; the
// dialog's controls filled as by PageNord.
template <class D, class O>
void PageStation(D& d, FormulaireLie<O> f, Police* travail)
{
    d.Texte_Station =
        f.Radio("Texte_Station", QStringLiteral("&Texte carrefour"),
                {QStringLiteral("Aucun"), QStringLiteral("Nom"), QStringLiteral("Nom+Indice")}, &O::Texte_Station);
    d.diametre = f.Entier("diametre", QStringLiteral("&Diamètre (mm/10)"), &O::diametre);
    d.Police_Station = f.BoutonFonte("Police_Station", QStringLiteral("&Police ..."), travail);
}

// A dialog of tabbed pages over "Valider" and "Annuler". "Valider" closes with OK once
// Verifie accepts the values; "Annuler" closes with Cancel.
// A page of a dialog, shown whole where the screen has room for it and scrolled up and
// down where the dialog must be shorter: never squeezed, never cut.
class PageDefilante : public QScrollArea {
    Q_OBJECT
public:
    explicit PageDefilante(QWidget* contenu, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

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

template <class O>
void Liaisons<O>::Lie(QCheckBox* c, bool O::*champ)
{
    liens_.push_back(
        {[c, champ](const O& o) { MontreCase(c, o.*champ); }, [c, champ](O& o) { o.*champ = LitCase(c); }});
}

template <class O>
template <class E>
requires std::is_integral_v<E>
void Liaisons<O>::Lie(QLineEdit* e, E O::*champ, long long min, long long max)
{
    liens_.push_back({[e, champ](const O& o) { MontreEntier(e, o.*champ); },
                      [e, champ](O& o) { o.*champ = static_cast<E>(LitEntierEdition(e)); },
                      [e, min, max] {
                          long long v = 0;
                          return LitEntierChamp(e, min, max, v);
                      }});
}

template <class O>
void Liaisons<O>::Lie(QLineEdit* e, Reel6 O::*champ, int precision)
{
    liens_.push_back({[e, champ, precision](const O& o) { MontreReel(e, o.*champ, precision); },
                      [e, champ](O& o) { o.*champ = LitReelEdition(e); },
                      [e] {
                          long double v = 0;
                          return LitReelChamp(e, v);
                      }});
}

template <class O>
void Liaisons<O>::Lie(QLineEdit* e, float O::*champ, int precision, long long min, long long max)
{
    liens_.push_back({[e, champ, precision](const O& o) { MontreReel(e, o.*champ, precision); },
                      [e, champ](O& o) { o.*champ = static_cast<float>(LitReelEdition(e)); },
                      [e, min, max] {
                          long double v = 0;
                          return LitReelChamp(e, v) &&
                                 (DansBornesReel(v, min, max) || RefuseChamp(e, ExigeReel(min, max)));
                      }});
}

template <class O>
void Liaisons<O>::Lie(QLineEdit* e, TexteCourt<25> O::*champ)
{
    liens_.push_back(
        {[e, champ](const O& o) { MontreTexte(e, o.*champ); }, [e, champ](O& o) { o.*champ = LitTexte(e); }});
}

template <class O>
void Liaisons<O>::Lie(GroupeRadio* g, int16_t O::*champ)
{
    liens_.push_back({[g, champ](const O& o) { g->FixeItemIndex(o.*champ); },
                      [g, champ](O& o) { o.*champ = static_cast<int16_t>(g->ItemIndex()); }});
}

template <class O>
void Liaisons<O>::Lie(GroupeRadio* g, bool O::*champ)
{
    liens_.push_back({[g, champ](const O& o) { g->FixeItemIndex(o.*champ ? 1 : 0); },
                      [g, champ](O& o) { o.*champ = g->ItemIndex() == 1; }});
}

}  // namespace karst
