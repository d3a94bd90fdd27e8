#include "shell/dialogues_calcul.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/interlocuteur.h"
#include "platform/modal.h"
#include "platform/texte.h"

namespace karst {

QString SautsDeLigne(QString texte)
{
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texte.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texte;
}

TComplement_Calcul::TComplement_Calcul(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Complement_Calcul"));
    setWindowTitle(QStringLiteral("Problème de calcul"));
    setFixedSize(300, 190);
    Information = new QLabel(this);
    Information->setObjectName(QStringLiteral("Information"));
    Information->setFrameShape(QFrame::Panel);
    Information->setFrameShadow(QFrame::Sunken);
    Information->setAlignment(Qt::AlignCenter);
    Information->setWordWrap(true);
    Information->setGeometry(10, 10, 280, 110);
    Ne_Plus = new QCheckBox(QStringLiteral("&Ne plus afficher"), this);
    Ne_Plus->setObjectName(QStringLiteral("Ne_Plus"));
    Ne_Plus->setGeometry(10, 145, 150, 20);
    Fermer = new QPushButton(QStringLiteral("Fermer"), this);
    Fermer->setObjectName(QStringLiteral("Fermer"));
    Fermer->setGeometry(205, 140, 85, 28);
    Fermer->setDefault(true);
    connect(Fermer, &QPushButton::clicked, this, &QDialog::accept);
}

bool TComplement_Calcul::Montre(const QString& texte)
{
    Information->setText(SautsDeLigne(texte));
    ExecuteModal(*this);
    return Ne_Plus->isChecked();
}

TLacunes::TLacunes(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Lacunes"));
    setWindowTitle(QStringLiteral("Lacunes"));
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    setFont(f);
    auto etiquette = [this](const QString& texte, int y) {
        auto* l = new QLabel(texte, this);
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(0, y, 388, 20);
        return l;
    };
    etiquette(QStringLiteral("Toutes les galeries ne sont pas atteintes."), 10)
        ->setObjectName(QStringLiteral("Label1"));
    etiquette(QStringLiteral("Continuer les calculs ?"), 34)->setObjectName(QStringLiteral("Label2"));
    Liste = new QPushButton(QStringLiteral("Listes des galeries >>"), this);
    Liste->setObjectName(QStringLiteral("Bouton_Liste"));
    Liste->setGeometry(13, 70, 170, 28);
    Continuer = new QPushButton(QStringLiteral("Continuer"), this);
    Continuer->setObjectName(QStringLiteral("Continuer"));
    Continuer->setGeometry(197, 70, 85, 28);
    Continuer->setDefault(true);
    Arreter = new QPushButton(QStringLiteral("Arrêter"), this);
    Arreter->setObjectName(QStringLiteral("Arreter"));
    Arreter->setGeometry(289, 70, 85, 28);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo1"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setGeometry(13, 145, 361, 130);
    connect(Liste, &QPushButton::clicked, this, &TLacunes::ListeClick);
    connect(Continuer, &QPushButton::clicked, this, [this] {
        Memo->clear();
        accept();
    });
    connect(Arreter, &QPushButton::clicked, this, [this] {
        Memo->clear();
        reject();
    });
    Active();
}

void TLacunes::Active()
{
    Liste->setEnabled(true);
    setFixedSize(388, 134);
    Memo->hide();
}

void TLacunes::ListeClick()
{
    setFixedSize(388, 285);
    Memo->show();
    Liste->setEnabled(false);
}

void TLacunes::showEvent(QShowEvent* e)
{
    Active();
    QDialog::showEvent(e);
}

MessagesCalculQt::~MessagesCalculQt()
{
    if (sablier_)
        QApplication::restoreOverrideCursor();
}

void MessagesCalculQt::Message(const std::string& texte, GenreMessage genre)
{
    Icone icone = Icone::Aucune;
    switch (genre) {
    case GenreMessage::Simple: break;
    case GenreMessage::Information: icone = Icone::Information; break;
    case GenreMessage::Avertissement: icone = Icone::Avertissement; break;
    case GenreMessage::Confirmation: icone = Icone::Confirmation; break;
    }
    Invite().Message(QString::fromUtf8(texte), icone, {Bouton::OK});
}

bool MessagesCalculQt::ContinuerSansLacunes(const std::vector<std::string>& galeries)
{
    TLacunes d(parent_);
    QStringList lignes;
    for (const std::string& g : galeries)
        lignes << DepuisCp1252(g);
    d.Memo->setPlainText(lignes.join(QLatin1Char('\n')));
    return ExecuteModal(d) == QDialog::Accepted;
}

void MessagesCalculQt::Sablier(bool actif)
{
    if (actif == sablier_)
        return;
    sablier_ = actif;
    if (actif)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace karst
