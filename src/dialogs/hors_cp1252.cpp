#include "dialogs/hors_cp1252.h"

#include <QComboBox>
#include <QLineEdit>

#include "platform/interlocuteur.h"
#include "platform/texte.h"

namespace karst {

bool GardeAvecPointsDInterrogation(const QStringList& textes, const QString& question)
{
    // Keeping them loses characters: the closing answer goes back to them.
    return Invite().ConfirmePerte(
        (textes.size() > 1 ? QStringLiteral("Ces textes contiennent") : QStringLiteral("Ce texte contient")) +
            QStringLiteral(" des caractères que le fichier ne peut pas garder :\r%1\r"
                           "Ils seront enregistrés comme « ? ». %2")
                .arg(ListeBornee(textes, 10), question),
        Icone::Confirmation, {Bouton::Oui, Bouton::Non});
}

namespace {

// Nothing selected: the next key adds to the text instead of replacing it (a dialog shown
// again selects its focused field whole).
void Reprend(QWidget* champ)
{
    champ->setFocus();
    auto* edition = qobject_cast<QLineEdit*>(champ);
    if (auto* boite = qobject_cast<QComboBox*>(champ))
        edition = boite->lineEdit();
    if (edition)
        edition->end(false);
}

}  // namespace

int TexteARevoir(const std::vector<TexteSaisi>& textes, const QString& question)
{
    QStringList lignes;
    int premier = -1;
    for (std::size_t k = 0; k < textes.size(); ++k)
        if (const QString c = CaracteresPerdus(textes[k].texte); !c.isEmpty()) {
            lignes << QStringLiteral("%1 : « %2 »").arg(textes[k].nom, c);
            if (premier < 0)
                premier = static_cast<int>(k);
        }
    if (premier < 0 || GardeAvecPointsDInterrogation(lignes, question))
        return -1;
    if (QWidget* champ = textes[static_cast<std::size_t>(premier)].champ)
        Reprend(champ);
    return premier;
}

}  // namespace karst
