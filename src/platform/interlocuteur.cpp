#include "platform/interlocuteur.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHash>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <algorithm>

#include "platform/dialogues_qt.h"
#include "platform/modal.h"
#include "platform/services.h"
#include "platform/texte.h"
#include "survey/flux.h"

namespace karst {

void Interlocuteur::Erreur(const std::exception& e) { Erreur(QString::fromUtf8(TexteErreur(e))); }

bool Interlocuteur::EcritParDessus(const std::string& chemin)
{
    // Writing over destroys the other file: Enter keeps it.
    return !FichierExiste(chemin) || ConfirmePerte(QStringLiteral("Le fichier %1 existe déjà.\rEcrire par dessus?")
                                                       .arg(QFileInfo(NomDeChemin(chemin)).fileName()),
                                                   Icone::Avertissement, {Bouton::Oui, Bouton::Non});
}

namespace {

Interlocuteur* installe = nullptr;

// What a title bar holds beside its title: the window's icon and buttons, and their gaps.
constexpr int kBarreDeTitre = 150;

QString Titre()
{
    const QString t = QGuiApplication::applicationDisplayName();
    return t.isEmpty() ? QStringLiteral("Karstomat") : t;
}

QString TexteBouton(Bouton b)
{
    switch (b) {
    case Bouton::Oui: return QStringLiteral("&Oui");
    case Bouton::Non: return QStringLiteral("&Non");
    case Bouton::OK: return QStringLiteral("OK");
    case Bouton::Annuler: return QStringLiteral("&Annuler");
    case Bouton::Aucun: break;
    }
    return {};
}

QMessageBox::ButtonRole Role(Bouton b)
{
    switch (b) {
    case Bouton::Oui: return QMessageBox::YesRole;
    case Bouton::Non: return QMessageBox::NoRole;
    case Bouton::OK: return QMessageBox::AcceptRole;
    case Bouton::Annuler: return QMessageBox::RejectRole;
    case Bouton::Aucun: break;
    }
    return QMessageBox::InvalidRole;
}

// The name chosen, with the default extension when it has none. The extension may be
// given as a filter pattern ("*.plt") or with its dot: the name still gets a single ".plt".
QString AvecExtension(const QString& nom, const QString& extension)
{
    QString e = extension;
    while (e.startsWith(QLatin1Char('*')) || e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    if (e.isEmpty() || !QFileInfo(nom).suffix().isEmpty())
        return nom;
    return nom + QLatin1Char('.') + e;
}

// The extension a name typed without one takes, for a dialog that adds one at all: the
// chosen filter entry's, so that a name typed under "*.mas" is a .mas, else the default.
QString ExtensionChoisie(const DialogueFichier& d)
{
    if (AvecExtension(QStringLiteral("x"), d.extensionDefaut) == QStringLiteral("x"))
        return {};
    const QString e = ExtensionFiltre(d.filtre, d.indexFiltre);
    return e.isEmpty() ? d.extensionDefaut : e;
}

// Qt breaks a message's lines at its blanks only, so a long path would make the box wider
// than the screen. A long word gets invisible break points: after each "/", and every 40
// characters of a stretch without one.
QString Secable(const QString& texte)
{
    constexpr int kMotLong = 40;
    const QChar coupure(0x200B);
    QString r;
    qsizetype debut = 0;
    while (debut < texte.size()) {
        qsizetype fin = debut;
        while (fin < texte.size() && !texte[fin].isSpace())
            ++fin;
        const QString mot = texte.mid(debut, fin - debut);
        if (mot.size() <= kMotLong) {
            r += mot;
        } else {
            int suite = 0;
            for (const QChar c : mot) {
                r += c;
                if (c == QLatin1Char('/') || ++suite == kMotLong) {
                    r += coupure;
                    suite = 0;
                }
            }
        }
        while (fin < texte.size() && texte[fin].isSpace())
            r += texte[fin++];
        debut = fin;
    }
    return r;
}

}  // namespace

namespace {

std::string& Document()
{
    static std::string d;
    return d;
}

QHash<QString, QString>& DossiersChoisis()
{
    static QHash<QString, QString> d;
    return d;
}

}  // namespace

QString DossierDialogue(const QString& genre, const QString& sinon)
{
    // A folder removed since (or a medium taken out) is no place to start.
    const QString choisi = DossiersChoisis().value(genre);
    return !choisi.isEmpty() && QFileInfo(choisi).isDir() ? choisi : sinon;
}

QString DossierDialogue(const QString& genre)
{
    return DossierDialogue(genre, Document().empty() ? QString() : QFileInfo(NomDeChemin(Document())).absolutePath());
}

void RetiensDossier(const QString& genre, const QString& fichier)
{
    DossiersChoisis().insert(genre, QFileInfo(fichier).absolutePath());
}

void FixeDocument(const std::string& fichier) { Document() = fichier; }

Interlocuteur::~Interlocuteur() = default;

Bouton Fermeture(const std::vector<Bouton>& boutons)
{
    for (Bouton b : {Bouton::Annuler, Bouton::Non, Bouton::Oui, Bouton::OK})
        if (std::find(boutons.begin(), boutons.end(), b) != boutons.end())
            return b;
    return Bouton::Aucun;
}

Interlocuteur& Interlocuteur::Courant()
{
    static InterlocuteurQt qt;
    return installe ? *installe : qt;
}

void Interlocuteur::Installe(Interlocuteur* i) { installe = i; }

QStringList FiltresQt(const QString& filtre)
{
    const QStringList p = filtre.split(QLatin1Char('|'));
    QStringList r;
    for (qsizetype i = 0; i + 1 < p.size(); i += 2) {
        const QString motifs = QString(p[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that already ends with its patterns, bare or within parentheses,
        // shows them once; the dialog reads them from its end either way.
        const QString description = p[i].trimmed();
        if (description.endsWith(motifs) || description.endsWith(QLatin1Char('(') + motifs + QLatin1Char(')')))
            r << p[i];
        else
            r << p[i] + QStringLiteral(" (") + motifs + QLatin1Char(')');
    }
    return r;
}

QString ExtensionFiltre(const QString& filtre, int index)
{
    const QStringList p = filtre.split(QLatin1Char('|'));
    const qsizetype i = 2 * static_cast<qsizetype>(index) - 1;
    if (index < 1 || i >= p.size())
        return {};
    const QString motif = p[i].trimmed();
    if (!motif.startsWith(QStringLiteral("*.")))
        return {};
    const QString e = motif.mid(2);
    if (e.isEmpty() || e.contains(QLatin1Char(';')) || e.contains(QLatin1Char('*')))
        return {};
    return e;
}

Bouton InterlocuteurQt::Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons, Bouton defaut)
{
    QMessageBox boite(QApplication::activeWindow());
    boite.setWindowTitle(Titre());
    boite.setText(Secable(QString(texte).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
    switch (icone) {
    case Icone::Information: boite.setIcon(QMessageBox::Information); break;
    case Icone::Avertissement: boite.setIcon(QMessageBox::Warning); break;
    case Icone::Erreur: boite.setIcon(QMessageBox::Critical); break;
    case Icone::Confirmation: boite.setIcon(QMessageBox::Question); break;
    case Icone::Aucune: break;
    }
    const Bouton fermeture = Fermeture(boutons);
    std::vector<std::pair<QAbstractButton*, Bouton>> liste;
    for (Bouton b : boutons) {
        QPushButton* p = boite.addButton(TexteBouton(b), Role(b));
        liste.emplace_back(p, b);
        if (b == defaut)
            boite.setDefaultButton(p);
        if (b == fermeture)
            boite.setEscapeButton(p);
    }
    // A window manager writes the title between its own buttons: a box of a few words would
    // cut it ("Kar…mat").
    if (auto* grille = qobject_cast<QGridLayout*>(boite.layout())) {
        QFont gras = boite.font();
        gras.setBold(true);
        const int largeur = QFontMetrics(gras).horizontalAdvance(boite.windowTitle()) + kBarreDeTitre;
        grille->addItem(new QSpacerItem(largeur, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grille->rowCount(), 0, 1,
                        grille->columnCount());
    }
    RetourClavier retour(&boite);
    boite.exec();
    for (const auto& [p, b] : liste)
        if (boite.clickedButton() == p)
            return b;
    return fermeture;
}

bool InterlocuteurQt::Saisie(const QString& titre, const QString& invite, QString& valeur)
{
    QInputDialog d(QApplication::activeWindow());
    d.setWindowTitle(titre);
    d.setLabelText(invite);
    d.setTextValue(valeur);
    d.setOkButtonText(QStringLiteral("OK"));
    d.setCancelButtonText(TexteBouton(Bouton::Annuler));
    RetourClavier retour(&d);
    if (d.exec() != QDialog::Accepted)
        return false;
    valeur = d.textValue();
    return true;
}

namespace {

// A folder named like the files sought ("grotte.fic") is given back as the choice, so that
// the command says it is a folder, rather than entered without a word and its name left in
// the box to open a new file inside it.
class DialogueFichiersQt : public QFileDialog {
public:
    DialogueFichiersQt(const QString& titre, const QString& filtre)
        : QFileDialog(QApplication::activeWindow(), titre), paires_(filtre.split(QLatin1Char('|')))
    {}

    void accept() override
    {
        const QStringList choisis = selectedFiles();
        if (acceptMode() == AcceptOpen && choisis.size() == 1 && QFileInfo(choisis[0]).isDir() &&
            CommeUnFichier(QFileInfo(choisis[0]).fileName()))
            done(Accepted);
        else
            QFileDialog::accept();
    }

private:
    bool CommeUnFichier(const QString& nom) const
    {
        const qsizetype i = 2 * nameFilters().indexOf(selectedNameFilter()) + 1;
        if (i < 1 || i >= paires_.size())
            return false;
        for (const QString& motif : paires_[i].split(QLatin1Char(';')))
            if (motif.trimmed() != QStringLiteral("*") &&
                QRegularExpression::fromWildcard(motif.trimmed(), Qt::CaseInsensitive).match(nom).hasMatch())
                return true;
        return false;
    }

    QStringList paires_;
};

}  // namespace

static bool DialogueQt(DialogueFichier& d, bool enregistrer)
{
    DialogueFichiersQt f(d.titre, d.filtre);
    HabilleListe(f, d.filtre);
    f.setAcceptMode(enregistrer ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The program itself checks that a file to open exists, after completing its name.
    f.setFileMode(QFileDialog::AnyFile);
    // The program asks itself before writing over a file.
    f.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filtres = FiltresQt(d.filtre);
    f.setNameFilters(filtres);
    if (d.indexFiltre >= 1 && d.indexFiltre <= filtres.size())
        f.selectNameFilter(filtres[d.indexFiltre - 1]);
    // A proposed name that is a pattern ("*.svg") only repeats the filter: the name box
    // stays empty, so that Enter cannot write a file named "*.svg".
    if (!d.dossier.isEmpty())
        f.setDirectory(d.dossier);
    if (!d.nom.isEmpty() && !d.nom.contains(QLatin1Char('*')) && !d.nom.contains(QLatin1Char('?')))
        f.selectFile(d.nom);
    RetourClavier retour(&f);
    if (f.exec() != QDialog::Accepted || f.selectedFiles().isEmpty())
        return false;
    d.indexFiltre = static_cast<int>(filtres.indexOf(f.selectedNameFilter())) + 1;
    d.nom = AvecExtension(f.selectedFiles().constFirst(), ExtensionChoisie(d));
    return true;
}

bool InterlocuteurQt::Ouvrir(DialogueFichier& d) { return DialogueQt(d, false); }
bool InterlocuteurQt::Enregistrer(DialogueFichier& d) { return DialogueQt(d, true); }

bool InterlocuteurQt::Couleur(uint32_t& couleur)
{
    const QColor depart(static_cast<int>(couleur & 0xFF), static_cast<int>((couleur >> 8) & 0xFF),
                        static_cast<int>((couleur >> 16) & 0xFF));
    RetourClavier retour(nullptr);
    const QColor c = QColorDialog::getColor(depart, QApplication::activeWindow());
    if (!c.isValid())
        return false;
    couleur = static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
              (static_cast<uint32_t>(c.blue()) << 16);
    return true;
}

bool InterlocuteurQt::ChoixPolice(Police& police)
{
    // The dialog lists the installed faces: it opens on the one the system draws for the
    // stored name (a substitute when that font is not installed), and the stored name stays
    // unless the user picks another face.
    const QString dessinee = QFontInfo(QFont(DepuisCp1252(police.Nom))).family();
    QFont depart(dessinee);
    depart.setPointSize(std::max(1, police.Taille()));
    depart.setBold(police.Style & Police::Gras);
    depart.setItalic(police.Style & Police::Italique);
    depart.setUnderline(police.Style & Police::Souligne);
    depart.setStrikeOut(police.Style & Police::Barre);
    bool ok = false;
    RetourClavier retour(nullptr);
    const QFont f = QFontDialog::getFont(&ok, depart, QApplication::activeWindow(), QStringLiteral("Police"));
    if (!ok)
        return false;
    if (f.family() != dessinee)
        police.Nom = VersCp1252(f.family());
    if (f.pointSize() > 0)
        police.FixeTaille(f.pointSize());
    police.Style = static_cast<uint8_t>((f.bold() ? Police::Gras : 0) | (f.italic() ? Police::Italique : 0) |
                                        (f.underline() ? Police::Souligne : 0) | (f.strikeOut() ? Police::Barre : 0));
    return true;
}

bool InterlocuteurQt::Impression(DialogueImpression& d)
{
    if (!d.imprimante)
        return false;
    QPrintDialog p(d.imprimante, QApplication::activeWindow());
    p.setOption(QAbstractPrintDialog::PrintPageRange, true);
    p.setMinMax(d.minimum, d.maximum);
    d.imprimante->setFromTo(d.de, d.a);
    d.imprimante->setCopyCount(d.copies);
    d.imprimante->setCollateCopies(d.assembler);
    d.imprimante->setPageOrder(d.inverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    // Qt's own check of "Imprimer dans un fichier" opens the file it names, which waits for
    // ever on a pipe: a pipe, a device or a link loop is refused before that check runs.
    auto* boutons = p.findChild<QDialogButtonBox*>();
    if (boutons && p.metaObject()->indexOfSlot("_q_checkFields()") >= 0 &&
        QObject::disconnect(boutons, SIGNAL(accepted()), &p, SLOT(_q_checkFields()))) {
        QObject::connect(boutons, &QDialogButtonBox::accepted, &p, [this, &p, &d] {
            const auto* fichier = p.findChild<QLineEdit*>(QStringLiteral("filename"));
            if (fichier && fichier->isEnabled())
                if (const std::string refus = RefusNonFichier(CheminSysteme(fichier->text()), "%1");
                    !refus.empty()) {
                    Avertissement(QString::fromUtf8(refus).arg(fichier->text()));
                    return;
                }
            // A job too large is refused before Qt asks about writing over its file.
            const auto* tout = p.findChild<QRadioButton*>(QStringLiteral("printAll"));
            const auto* plage = p.findChild<QRadioButton*>(QStringLiteral("printRange"));
            const auto* de = p.findChild<QSpinBox*>(QStringLiteral("from"));
            const auto* a = p.findChild<QSpinBox*>(QStringLiteral("to"));
            const auto* copies = p.findChild<QSpinBox*>(QStringLiteral("copies"));
            if (d.accepte && tout && plage && de && a && copies && (tout->isChecked() || plage->isChecked()) &&
                !(plage->isChecked() ? d.accepte(de->value(), std::max(de->value(), a->value()), copies->value())
                                     : d.accepte(0, 0, copies->value())))
                return;
            QMetaObject::invokeMethod(&p, "_q_checkFields");
        });
    }
    RetourClavier retour(&p);
    if (p.exec() != QDialog::Accepted)
        return false;
    d.plage = d.imprimante->printRange() == QPrinter::PageRange;
    d.de = d.imprimante->fromPage();
    d.a = d.imprimante->toPage();
    d.copies = d.imprimante->copyCount();
    d.assembler = d.imprimante->collateCopies();
    d.inverse = d.imprimante->pageOrder() == QPrinter::LastPageFirst;
    return true;
}

bool InterlocuteurQt::ConfigurationImprimante(QPrinter* imprimante)
{
    if (!imprimante)
        return false;
    QPageSetupDialog p(imprimante, QApplication::activeWindow());
    RetourClavier retour(&p);
    return p.exec() == QDialog::Accepted;
}

namespace {

// Takes the next scripted answer: none left gives `sansReponse`, a cancelled one false.
template <class T>
bool Suivante(std::deque<std::optional<T>>& reponses, T& valeur, bool sansReponse = false)
{
    if (reponses.empty())
        return sansReponse;
    const std::optional<T> r = reponses.front();
    reponses.pop_front();
    if (!r)
        return false;
    valeur = *r;
    return true;
}

}  // namespace

Bouton InterlocuteurScripte::Question(const QString& texte, Icone icone, const std::vector<Bouton>& boutons,
                                      Bouton defaut)
{
    messages.push_back({texte, icone, boutons, defaut});
    if (reponses.empty())
        return boutons.empty() ? Bouton::Aucun : boutons.front();
    const Bouton b = reponses.front();
    reponses.pop_front();
    return b == Bouton::Aucun ? Fermeture(boutons) : b;
}

bool InterlocuteurScripte::Saisie(const QString&, const QString& invite, QString& valeur)
{
    messages.push_back({invite, Icone::Aucune, {}});
    return Suivante(saisies, valeur, true);
}

bool InterlocuteurScripte::fichier(DialogueFichier& d)
{
    dialoguesFichier.push_back(d);
    if (fichiers.empty())
        return false;
    const auto f = fichiers.front();
    fichiers.pop_front();
    if (!indexFiltres.empty()) {
        d.indexFiltre = indexFiltres.front();
        indexFiltres.pop_front();
    }
    if (!f)
        return false;
    d.nom = AvecExtension(*f, ExtensionChoisie(d));
    return true;
}

bool InterlocuteurScripte::Ouvrir(DialogueFichier& d) { return fichier(d); }
bool InterlocuteurScripte::Enregistrer(DialogueFichier& d) { return fichier(d); }

bool InterlocuteurScripte::Couleur(uint32_t& couleur) { return Suivante(couleurs, couleur); }

bool InterlocuteurScripte::ChoixPolice(Police& police)
{
    policesProposees.push_back(police);
    return Suivante(polices, police);
}

bool InterlocuteurScripte::Impression(DialogueImpression& d)
{
    impressionsProposees.push_back(d);
    DialogueImpression r;
    if (!Suivante(impressions, r))
        return false;
    // Only the user's choices: the printer stays the one proposed.
    d.plage = r.plage;
    d.de = r.de;
    d.a = r.a;
    d.copies = r.copies;
    d.assembler = r.assembler;
    d.inverse = r.inverse;
    return true;
}

bool InterlocuteurScripte::ConfigurationImprimante(QPrinter*) { return false; }

QStringList InterlocuteurScripte::Textes() const
{
    QStringList r;
    for (const auto& m : messages)
        r << m.texte;
    return r;
}

}  // namespace karst
