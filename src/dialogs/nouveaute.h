#pragma once
// The new-element wizard "Nouvel élément": what to create (a massif, a system, a cave, an
// exploration or a surface traverse), in which massif, with which names; it ends on a new
// massif, on renamed systems, or on the sheet editor opened with the address preset.

#include <QDialog>
#include <optional>

#include "dialogs/hote_dialogues.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace karst {

class TNouveaute : public QDialog {
    Q_OBJECT

public:
    explicit TNouveaute(HoteDialogues& hote, QWidget* parent = nullptr);

    // Runs the wizard modally, then opens the sheet editor when the wizard asked for it.
    static int Execute(HoteDialogues& hote, QWidget* parent = nullptr);

    int Etape = 0;
    bool MassifOuvert = false;
    // The address of the new sheet the editor is to open on, when the wizard ended so.
    std::optional<Adresse> FicheDemandee;

    QPushButton *Arriere, *Avant, *Button3;
    QStackedWidget* Panneau;
    QButtonGroup* Niveau;  // ids 0 Massif .. 4 Cheminement de surface
    QRadioButton *Courant, *Connu, *Nouveau;
    QPushButton *Nom_Massif, *Declinaisons, *References;
    QLineEdit* Nom_Cavite;
    QLabel* Label8;
    QRadioButton *Isole, *jonctionne;
    QRadioButton *systeme_connu, *nouveau_systeme;
    QComboBox* Nom_systeme;
    QLineEdit* Saisie_systeme;
    QListWidget *Check_Systeme, *Check_cavite;
    QComboBox *Combo_systeme, *Combo_cavite, *Combo_reseau, *Combo_lieu;

    void FormShow();
    void NiveauClick();
    void AvantClick();
    void ArriereClick();
    void Nom_MassifClick();
    void DeclinaisonsClick();
    void ReferencesClick();
    void ConnuClick();
    void IsoleClick();
    void Nom_CaviteChange();
    void Saisie_systemeChange();
    // The distinct names of an address level (0 system .. 3 place), "Surface" and "Isolé"
    // left out.
    QStringList AjouteNoms(int niveau);
    void AjusteLargeurs();
    // The chosen item of Niveau, or -1.
    int ItemNiveau() const;

private:
    void page(int etape, int page);
    bool peutPrendre();
    bool prendNouveau();
    bool prendConnu();
    void continueNiveau();
    bool nomsGardes();
    void avance();
    void recule();
    void champPage();
    void editeur(const Adresse& a);
    void remplitCoches();
    static void decoche(QButtonGroup* g);

    HoteDialogues& hote_;
    QButtonGroup *groupeMassif_, *groupeIsole_, *groupeSysteme_;
};

}  // namespace karst
