// The settings file "Karstomat.ini" and the model files of the main window.

#include <QAction>
#include <QFileInfo>
#include <QStatusBar>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <system_error>

#include "dialogs/preference_ecran.h"
#include "platform/interlocuteur.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "shell/form1.h"
#include "survey/fichier_texte.h"
#include "survey/flux.h"
#include "survey/nombres.h"

namespace karst {

namespace {

const char* const kFiltreModeles =
    "Modèle de fiche de saisie(*.sai)|*.sai|Modèle plan(*.pla)|*.pla|Modèle coupe(*.cou)|*.cou|"
    "Modèle perspective(*.per)|*.per|Modèle tableau(*.tabl)|*.tabl|Tous|*.sai;*.pla;*.cou;*.per;*.tabl";

const char* const kExtensionsModeles[] = {".SAI", ".PLA", ".COU", ".PER", ".TABL"};

bool Contient(const std::string& texte, const char* mot) { return texte.find(mot) != std::string::npos; }

// A whole number, or 0 when the text is not one: a damaged settings file must not stop
// the program from starting.
int32_t Entier(const std::string& texte)
{
    long long v = 0;
    if (!LitEntier(texte, v) || v < INT32_MIN || v > INT32_MAX)
        return 0;
    return static_cast<int32_t>(v);
}

void Erreur(const std::exception& e) { Invite().Erreur(e); }

// Upper-cased extension with its dot, of a name in the system's encoding.
std::string Extension(const std::string& nom) { return MajAscii(std::filesystem::path(nom).extension().string()); }

// Where a refused settings file is kept: beside it, under a name that says why, never over
// a copy kept before.
std::string NomGarde(const std::string& fichier)
{
    std::string nom = fichier + ".endommagé";
    std::error_code e;
    for (int i = 2; std::filesystem::exists(std::filesystem::symlink_status(nom, e)); ++i)
        nom = fichier + ".endommagé-" + FormatEntier(i);
    return nom;
}

}  // namespace

QString TForm1::retientRefus(const std::string& fichier, const std::string& ecrit)
{
    if (fichier != ecrit || !ParametresConserves)
        return {};
    const std::string garde = NomGarde(fichier);
    refuses_.emplace_back(fichier, garde);
    // A folder that takes no writes keeps the file where it is: no other name to promise.
    if (!DossierEcrivable(std::filesystem::path(fichier).parent_path().string()))
        return {};
    return QStringLiteral("\rIl sera gardé sous le nom « %1 » à la fermeture de Karstomat.")
        .arg(NomDeChemin(std::filesystem::path(garde).filename().string()));
}

void TForm1::gardeRefus(const std::string& chemin)
{
    const auto r = std::find_if(refuses_.begin(), refuses_.end(), [&](const auto& x) { return x.first == chemin; });
    if (r == refuses_.end())
        return;
    std::error_code e;
    // A copy kept meanwhile under the name announced is not replaced.
    const std::string garde =
        std::filesystem::exists(std::filesystem::symlink_status(r->second, e)) ? NomGarde(chemin) : r->second;
    std::filesystem::rename(chemin, garde, e);
    if (e && e != std::errc::no_such_file_or_directory) {
        const std::string raison = RaisonEchec(e.value());
        throw ErreurFlux("Le fichier " + chemin + " endommagé n'a pu être gardé sous le nom " + garde + " (" +
                         (raison.empty() ? e.message() : raison) + ") : il n'a pas été remplacé");
    }
    refuses_.erase(r);
}

void TForm1::LitParametres(const std::string& chemin)
{
    // Read through the files' guard: a pipe put in its place must not freeze the start.
    std::vector<std::string> lignes;
    std::error_code absent;
    if (!std::filesystem::exists(chemin, absent))
        return;
    try {
        // Its longest line names a recent file (a path of at most 4,096 bytes); the program
        // writes a score of lines. Anything beyond is damage, refused before it is read;
        // the settings of the lines before it are taken.
        FichierTexteLecture(chemin, 8192).Lignes(1000, lignes);
    } catch (const ErreurFichierEndommage& e) {
        Invite().Erreur(QString::fromStdString(TexteErreur(e)) +
                        (lignes.empty() ? QStringLiteral("\rLes réglages par défaut sont utilisés.")
                                        : QStringLiteral("\rLes réglages lus avant cette ligne sont utilisés.")) +
                        retientRefus(chemin, RepUtilisateur + "Karstomat.ini"));
    } catch (const ErreurFlux& e) {
        Erreur(e);
        return;
    }

    QAction* ouiNon[] = {Gnral1, Explorateur2, Vues1, nullptr, Barredtat1, Web1, nullptr, Automatique1};
    const char* const cles[] = {"GENERAL",  "EXPLORATEUR", "VUES",        "TEXTE",     "ETAT",
                                "WEB",      "CLASSEMENT",  "AUTOMATIQUE", "FICHIER1",  "FICHIER2",
                                "FICHIER3", "OUTILS_3D_X", "OUTILS_3D_Y", "ARRETER_X", "ARRETER_Y"};
    for (const std::string& ligne : lignes) {
        const std::size_t egal = ligne.find('=');
        if (egal == std::string::npos)
            continue;
        const std::string cle = MajAscii(ligne.substr(0, egal));
        // The value starts at the second character after '=', past the writer's blank.
        const std::string valeur = egal + 2 <= ligne.size() ? ligne.substr(egal + 2) : std::string();
        const std::string maj = MajAscii(valeur);
        for (int k = 0; k < 15; ++k) {
            if (cle.find(cles[k]) == std::string::npos)
                continue;
            switch (k) {
            case 3: Etiquettestexte1->setChecked(Contient(maj, "NON")); break;
            case 6:
                if (Contient(maj, "GRANDES"))
                    Grandesicnes1->setChecked(true);
                if (Contient(maj, "PETITES"))
                    Petitesicnes1->setChecked(true);
                if (Contient(maj, "LISTE"))
                    Liste1->setChecked(true);
                if (Contient(maj, "DETAIL"))
                    Dtail1->setChecked(true);
                break;
            case 8:
            case 9:
            case 10: AjouteFichierRecent(valeur); break;
            case 11: Outils_3D_X = Entier(valeur); break;
            case 12: Outils_3D_Y = Entier(valeur); break;
            case 13: Arreter_X = Entier(valeur); break;
            case 14: Arreter_Y = Entier(valeur); break;
            default: ouiNon[k]->setChecked(Contient(maj, "OUI"));
            }
        }
    }
    Etiquettestexte1Click();
    Web2->setChecked(Web1->isChecked());
    Grandesicnes2->setChecked(Grandesicnes1->isChecked());
    Petitesicnes2->setChecked(Petitesicnes1->isChecked());
    Liste2->setChecked(Liste1->isChecked());
    Dtail2->setChecked(Dtail1->isChecked());
    statusBar()->setVisible(Barredtat1->isChecked());
}

void TForm1::EcritParametres(const std::string& chemin) const
{
    auto oui = [](const QAction* a) { return a->isChecked() ? "OUI" : "NON"; };
    std::ostringstream s;
    auto ligne = [&](const char* cle, const std::string& valeur) { s << cle << " = " << valeur << "\r\n"; };
    s << "[Karstomat]\r\n\r\n";
    ligne("General", oui(Gnral1));
    ligne("Explorateur", oui(Explorateur2));
    ligne("Vues", oui(Vues1));
    ligne("Texte", oui(Etiquettestexte1));
    ligne("Etat", oui(Barredtat1));
    ligne("Web", oui(Web1));
    ligne("Classement", Grandesicnes1->isChecked()   ? "Grandes"
                        : Petitesicnes1->isChecked() ? "Petites"
                        : Liste1->isChecked()        ? "Liste"
                                                     : "Detail");
    ligne("Automatique", oui(Automatique1));
    // Oldest first, so that reading them back in turn rebuilds the same list.
    if (!FichiersRecents[2].empty())
        ligne("Fichier1", FichiersRecents[2]);
    if (!FichiersRecents[1].empty())
        ligne("Fichier2", FichiersRecents[1]);
    if (!FichiersRecents[0].empty())
        ligne("Fichier3", FichiersRecents[0]);
    ligne("Outils_3D_X", FormatEntier(Outils_3D_X));
    ligne("Outils_3D_Y", FormatEntier(Outils_3D_Y));
    ligne("Arreter_X", FormatEntier(Arreter_X));
    ligne("Arreter_Y", FormatEntier(Arreter_Y));
    EcritFichierEntier(chemin, s.str());
}

// ---- model files ----

std::string TForm1::modeleUtilisateur(const char* nom) const
{
    const std::string existant = TrouveFichier(RepUtilisateur + nom);
    return existant.empty() ? RepUtilisateur + nom : existant;
}

void TForm1::chargeModeles()
{
    auto trouve = [this](const char* nom) {
        std::string f = TrouveFichier(RepUtilisateur + nom);
        return f.empty() ? TrouveFichier(RepProgramme + nom) : f;
    };
    // A damaged file is said once and leaves its options at their defaults, which quitting
    // then writes in its place, once the file is kept beside.
    auto charge = [&](const char* nom, auto&& lecture) {
        const std::string f = trouve(nom);
        if (f.empty())
            return;
        try {
            lecture(f);
        } catch (const ErreurFichierEndommage& e) {
            Invite().Erreur(QString::fromUtf8(e.what()) + QStringLiteral(".\rLes réglages par défaut sont utilisés.") +
                            retientRefus(f, modeleUtilisateur(nom)));
        } catch (const std::exception& e) {
            Erreur(e);
        }
    };
    charge("OPTIONS.MAR", [this](const std::string& f) { Marge.Charge(f); });
    PreferenceSaisie.Defaut();
    charge("OPTIONS.SAI", [this](const std::string& f) {
        PreferenceSaisie.NomFichier = f;
        Charge(PreferenceSaisie);
    });
    PreferenceSaisie.ConstruitColonnes();
    charge("OPTIONS.TABL", [this](const std::string& f) { OptionsTableau.Charge(f); });
    charge("OPTIONS.PLA", [this](const std::string& f) { OptionsPlan.Charge(f); });
    charge("OPTIONS.PER", [this](const std::string& f) { OptionsRelief.Charge(f); });
    charge("OPTIONS.COU", [this](const std::string& f) { OptionsCoupe.Charge(f); });
}

void TForm1::sauveModeles(std::vector<std::string>& echecs)
{
    // The settings keep their names: no other name can be chosen for them.
    auto sauve = [&](const std::string& chemin, auto&& ecriture) {
        try {
            gardeRefus(chemin);
            ecriture(chemin);
        } catch (const ErreurLectureSeule& e) {
            echecs.push_back(ErreurLectureSeule::Constat(e.Nom));
        } catch (const std::exception& e) {
            echecs.push_back(TexteErreur(e));
        }
    };
    sauve(RepUtilisateur + "Karstomat.ini", [this](const std::string& f) { EcritParametres(f); });
    sauve(modeleUtilisateur("OPTIONS.MAR"), [this](const std::string& f) { Marge.Sauve(f); });
    sauve(modeleUtilisateur("OPTIONS.SAI"), [this](const std::string& f) {
        PreferenceSaisie.NomFichier = f;
        Enregistre(PreferenceSaisie);
    });
    sauve(modeleUtilisateur("OPTIONS.TABL"), [this](const std::string& f) { OptionsTableau.Sauve(f); });
    sauve(modeleUtilisateur("OPTIONS.PLA"), [this](const std::string& f) { OptionsPlan.Sauve(f); });
    sauve(modeleUtilisateur("OPTIONS.PER"), [this](const std::string& f) { OptionsRelief.Sauve(f); });
    sauve(modeleUtilisateur("OPTIONS.COU"), [this](const std::string& f) { OptionsCoupe.Sauve(f); });
}

namespace {

// The name chosen in a model dialog, with the extension of the filter entry when it has
// none and an entry other than "Tous" was chosen.
std::string NomModele(const DialogueFichier& d)
{
    std::string nom = CheminSysteme(d.nom);
    if (std::filesystem::path(nom).extension().empty() && d.indexFiltre >= 1 && d.indexFiltre <= 5) {
        std::string e = kExtensionsModeles[d.indexFiltre - 1];
        for (char& c : e)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        nom += e;
    }
    return nom;
}

const QString kMessageExtension = QStringLiteral(
    "Vous devez spécifier une extension à votre fichier \r(ex : \"surface.sai\" pour un modèle de fiche)");

}  // namespace

bool TForm1::FichierModele(const std::string& nom, bool charge)
{
    const std::string ext = Extension(nom);
    if (!charge)
        gardeRefus(nom);
    auto transfert = [&](auto& options) {
        if (charge)
            options.Charge(nom);
        else
            options.Sauve(nom);
    };
    if (ext == ".SAI") {
        PreferenceSaisie.NomFichier = nom;
        if (charge) {
            Charge(PreferenceSaisie);
            PreferenceSaisie.ConstruitColonnes();
        } else {
            Enregistre(PreferenceSaisie);
        }
    } else if (ext == ".PLA") {
        transfert(OptionsPlan);
    } else if (ext == ".COU") {
        transfert(OptionsCoupe);
    } else if (ext == ".PER") {
        transfert(OptionsRelief);
    } else if (ext == ".TABL") {
        transfert(OptionsTableau);
        if (charge && Massif)
            Massif->DimensionsAJour = false;
    } else {
        Invite().Avertissement(kMessageExtension);
        return false;
    }
    return true;
}

namespace {

// The model dialogs open where the last model was chosen, else beside the program's own
// models in the settings folder.
const QString kGenreModele = QStringLiteral("modele");

bool ChoixModele(bool enregistrer, const std::string& repUtilisateur, DialogueFichier& d)
{
    d = {QString(), QString::fromUtf8(kFiltreModeles),
         QString(), QString(),
         6,         DossierDialogue(kGenreModele, NomDeChemin(repUtilisateur))};
    if (!(enregistrer ? Invite().Enregistrer(d) : Invite().Ouvrir(d)))
        return false;
    RetiensDossier(kGenreModele, d.nom);
    return true;
}

}  // namespace

void TForm1::Ouvrirmodle1Click()
{
    DialogueFichier d;
    if (!ChoixModele(false, RepUtilisateur, d))
        return;
    const std::string choisi = NomModele(d);
    std::string nom = TrouveFichier(choisi);
    std::error_code code;
    // A pipe or a device is no model: its reader refuses it, saying what it is.
    if (nom.empty() && std::filesystem::exists(choisi, code) && !std::filesystem::is_directory(choisi, code))
        nom = choisi;
    if (nom.empty()) {
        // A link looping on itself is there, but designates no file.
        const std::string refus = RefusNonFichier(choisi, "%1");
        Invite().Avertissement(refus.empty() ? QStringLiteral("Ce fichier n'existe pas.\rChoisissez en un autre")
                                             : QString::fromUtf8(refus).arg(NomDeChemin(choisi)));
        return;
    }
    try {
        if (FichierModele(nom, true))
            emit ModeleCharge(QString::fromStdString(Extension(nom)));
    } catch (const std::exception& e) {
        Erreur(e);
    }
}

void TForm1::Enregistrermodle1Click()
{
    DialogueFichier d;
    if (!ChoixModele(true, RepUtilisateur, d))
        return;
    const std::string nom = NomModele(d);
    // Another model of that name is not replaced without a question, Enter keeping it; a
    // name the command will not write asks nothing.
    const std::string ext = Extension(nom);
    const bool modele =
        std::find(std::begin(kExtensionsModeles), std::end(kExtensionsModeles), ext) != std::end(kExtensionsModeles);
    if (modele && !Invite().EcritParDessus(nom))
        return;
    try {
        FichierModele(nom, false);
    } catch (const std::exception& e) {
        Erreur(e);
    }
}

}  // namespace karst
