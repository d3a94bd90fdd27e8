#include "exchange/outils.h"

#include <algorithm>
#include <filesystem>

#include "exchange/echange.h"
#include "survey/fichier_texte.h"
#include "survey/flux.h"
#include "survey/modele.h"
#include "survey/nombres.h"
#include "survey/textes.h"

namespace karst::echange {

std::vector<std::string> LitLignes(const std::string& fichier, FinsDeLigne fins)
{
    try {
        return FichierTexteLecture(fichier, kLongueurMaxEchange, fins).Lignes(kLignesMaxEchange);
    } catch (const ErreurFichierEndommage& e) {
        throw ErreurEchange(e.what());  // refused as every other damage of the file
    }
}

void EcritFichier(const std::string& fichier, const std::string& contenu)
{
    try {
        EcritFichierEntier(fichier, contenu);
    } catch (const ErreurFlux& e) {
        throw ErreurEchange(e.what());
    }
}

void Endommage(const std::string& fichier, std::size_t ligne, const std::string& raison)
{
    throw ErreurEchange(MessageEndommage(fichier, ligne, raison));
}

void RefuseOctetsDeControle(const std::string& fichier, std::vector<std::string>& lignes)
{
    const auto derniere = std::find_if(lignes.rbegin(), lignes.rend(), [](const std::string& l) { return !l.empty(); });
    if (derniere != lignes.rend() && derniere->back() == '\x1A')
        derniere->pop_back();
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        if (lignes[i].find('\0') != std::string::npos)
            Endommage(fichier, i + 1, "des octets nuls y remplacent le texte (copie interrompue ?)");
        for (const unsigned char c : lignes[i])
            if ((c < 0x20 && c != '\t') || c == 0x7F) {
                const char* chiffres = "0123456789ABCDEF";
                Endommage(fichier, i + 1,
                          std::string("l'octet de contrôle 0x") + chiffres[c >> 4] + chiffres[c & 15] +
                              " n'a pas sa place dans un texte (fichier écrasé ?)");
            }
    }
}

std::vector<std::string> DecodeLignes(std::vector<std::string>& lignes, char (*autre)(char))
{
    std::vector<std::string> perdues;
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        std::string& l = lignes[i];
        if (i == 0 && l.rfind("\xEF\xBB\xBF", 0) == 0)
            l.erase(0, 3);
        if (!Utf8Valide(l)) {
            if (autre)
                std::transform(l.begin(), l.end(), l.begin(), autre);
            continue;
        }
        if (const std::string perdus = CaracteresHorsCp1252(l); !perdus.empty()) {
            std::string texte = SansBlancs(l);
            std::replace(texte.begin(), texte.end(), '\t', ' ');
            // A long line is cut, as the reader lets lines run to thousands of characters;
            // the characters it loses are then named after it.
            std::size_t caracteres = 0, coupe = 0;
            for (; coupe < texte.size(); ++coupe)
                if ((texte[coupe] & 0xC0) != 0x80 && caracteres++ == 200)
                    break;
            perdues.push_back(Ligne(i + 1, coupe < texte.size()
                                               ? "« " + texte.substr(0, coupe) + "… » (« " + perdus + " »)"
                                               : "« " + texte + " »"));
        }
        l = Utf8VersCp1252(l);
    }
    return perdues;
}

bool CaracteresAcceptes(TRapportEchange& rapport, const std::vector<std::string>& perdues)
{
    if (perdues.empty())
        return true;
    const bool une = perdues.size() == 1;
    return rapport.CaracteresPerdus(
        std::string(une ? "Ce texte du fichier contient" : "Ces textes du fichier contiennent") +
        " des caractères que le massif ne peut pas garder :\r" + ListeBornee(perdues, 10, true) +
        "\rIls seront importés comme « ? ».");
}

void Adresse(TFiche& fiche, const std::string& cavite, const std::string& fichier, std::vector<std::string>& perdus)
{
    const std::string nom = std::filesystem::path(fichier).stem().string();
    if (Blanc(cavite) && Utf8Valide(nom) && !CaracteresHorsCp1252(nom).empty()) {
        const std::string texte = "Le nom du fichier : « " + nom + " »";
        if (std::find(perdus.begin(), perdus.end(), texte) == perdus.end())
            perdus.push_back(texte);
    }
    fiche.Cavite.Affecte(Blanc(cavite) ? ExterieurEnCp1252(nom) : cavite);
    for (TEco* partie : {&fiche.Systeme, &fiche.Reseau, &fiche.Lieu})
        if (Blanc(partie->Chaine()))
            partie->Copie(fiche.Cavite);
}

std::string CleStation(const std::string& nom, int indice)
{
    std::string cle(1, static_cast<char>(indice & 0xFF));
    cle += MajAscii(nom);
    return cle;
}

std::string CleStation(const TPointTopo& p) { return CleStation(p.Nom.Chaine(), p.Indice); }

Champs::Champs(const std::string& ligne)
{
    std::size_t debut = 0;
    for (;;) {
        const std::size_t tab = ligne.find('\t', debut);
        if (tab == std::string::npos) {
            champs_.emplace_back(ligne, debut);
            break;
        }
        champs_.emplace_back(ligne, debut, tab - debut);
        debut = tab + 1;
    }
}

const std::string& Champs::operator[](std::size_t i) const
{
    static const std::string vide;
    return i >= 1 && i <= champs_.size() ? champs_[i - 1] : vide;
}

bool Blanc(const std::string& texte) { return texte.find_first_not_of(" \t") == std::string::npos; }

std::string SansBlancs(const std::string& texte)
{
    const std::size_t d = texte.find_first_not_of(" \t");
    if (d == std::string::npos)
        return {};
    const std::size_t f = texte.find_last_not_of(" \t");
    return texte.substr(d, f - d + 1);
}

std::string Ligne(std::size_t n, const std::string& message)
{
    return "Ligne " + FormatEntier(static_cast<long long>(n)) + " : " + message;
}

long double Admise(long double valeur, std::size_t ligne, const std::string& quoi, long double diviseur)
{
    const long double stockee = valeur / diviseur;
    if (!MesureAdmise(stockee))
        throw ErreurEchange(Ligne(ligne, HorsBornes(quoi, valeur)));
    return stockee;
}

IndexIndices::IndexIndices(const TMassif& massif)
{
    auto note = [&](const TPointTopo& p) {
        if (!p.Terminus)
            pris_[p.Nom.ChaineMaj()].set(p.Indice);
    };
    for (const TFiche* f : massif.Fiches) {
        if (!f)
            continue;
        for (const TGalerie* g : f->Galeries) {
            note(g->Depart);
            note(g->Arrivee);
        }
    }
}

int IndexIndices::IndiceLibre(const std::string& nom, int depart) const
{
    int candidat = depart + 1;
    const auto it = pris_.find(MajAscii(nom));
    if (it == pris_.end())
        return candidat;
    while (candidat >= 0 && candidat <= kIndiceMax && it->second.test(static_cast<std::size_t>(candidat)))
        ++candidat;
    return candidat;
}

}  // namespace karst::echange
