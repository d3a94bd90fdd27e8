#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <vector>

#include "aide_fichiers.h"
#include "survey/flux.h"

using namespace karst;
using namespace karst::essai;
namespace fs = std::filesystem;

namespace {

std::vector<char> Suite(int n)
{
    std::vector<char> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + 3);
    return v;
}

}  // namespace

TEST(Flux, EcritureParPetitsMorceauxDonneLeFichierEntier)
{
    const fs::path p = Temporaire("quarante.bin");
    const auto source = Suite(40000);
    {
        TFileBufferStream f(p.string(), TFileBufferStream::kCreation);
        for (int i = 0; i < 40000; i += 10)
            ASSERT_EQ(f.Write(source.data() + i, 10), 10);
        EXPECT_EQ(f.Size(), 40000);
        EXPECT_TRUE(f.Fin());
        f.Ferme();
    }
    ASSERT_EQ(fs::file_size(p), 40000u);
    std::ifstream in(p, std::ios::binary);
    std::vector<char> lu((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(lu, source);

    // Read back in pieces that straddle the blocks.
    TFileBufferStream f(p.string(), TFileBufferStream::kLecture);
    EXPECT_EQ(f.Size(), 40000);
    std::vector<char> relu(40000);
    for (int i = 0; i < 40000; i += 7)
        f.Read(relu.data() + i, std::min(7, 40000 - i));
    EXPECT_EQ(relu, source);
    EXPECT_TRUE(f.Fin());
}

TEST(Flux, DestructionSansFermetureEcritLeDernierBloc)
{
    const fs::path p = Temporaire("destruction.bin");
    {
        TFileBufferStream f(p.string(), TFileBufferStream::kCreation);
        f.Write("abc", 3);
    }
    EXPECT_EQ(fs::file_size(p), 3u);
}

TEST(Flux, LectureEnFinDeFlux)
{
    FluxMemoire f(Suite(100));
    EXPECT_EQ(f.Seek(10, 2), 90);
    EXPECT_EQ(f.Position(), 90);
    EXPECT_EQ(f.Seek(-5, 0), 0);
    EXPECT_EQ(f.Seek(96, 0), 96);
    char b[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(f.Read(b, 6), 4);
    EXPECT_EQ(b[0], Suite(100)[96]);
    EXPECT_EQ(b[4], 'x');  // bytes not read keep their content
    EXPECT_EQ(f.Position(), 100);
    EXPECT_TRUE(f.Fin());
    EXPECT_EQ(f.Read(b, 6), 0);
    EXPECT_THROW(f.LitU8(), ErreurFichierEndommage);
}

TEST(Flux, OrigineInconnue)
{
    FluxMemoire f(Suite(10));
    try {
        f.Seek(1, 3);
        FAIL();
    } catch (const ErreurFlux& e) {
        EXPECT_STREQ(e.what(), "L'origine de déplacement 3 est indéterminée");
    }
}

TEST(Flux, FinDemandeeSansDeplacementPuisAjout)
{
    FluxMemoire f(Suite(20));
    f.Seek(5, 0);
    EXPECT_EQ(f.Seek(0, 2), 20);
    char b[4];
    EXPECT_EQ(f.Read(b, 4), 0);
    f.Seek(5, 0);
    f.Seek(0, 2);
    f.Write("XY", 2);
    f.Flush();
    ASSERT_EQ(f.donnees.size(), 22u);
    EXPECT_EQ(f.donnees[20], 'X');
    EXPECT_EQ(f.donnees[5], Suite(20)[5]);
}

TEST(Flux, GrandsTransfertsSansLeBloc)
{
    FluxMemoire f({}, 16);
    const auto s = Suite(16);
    f.Write(s.data(), 16);  // a whole block goes straight to the raw write
    EXPECT_EQ(f.ecritures, 1);
    EXPECT_EQ(f.donnees, s);
    f.Write("ab", 2);
    f.Flush();
    EXPECT_EQ(f.donnees.size(), 18u);
    EXPECT_EQ(f.donnees[16], 'a');

    FluxMemoire g(Suite(40), 16);
    std::vector<char> d(20);
    EXPECT_EQ(g.Read(d.data(), 20), 20);
    EXPECT_EQ(g.lectures, 1);
    EXPECT_EQ(g.Position(), 20);
    char c;
    g.Read(&c, 1);
    EXPECT_EQ(c, Suite(40)[20]);
}

TEST(Flux, EcraserUnePartieGardeLeReste)
{
    FluxMemoire f(Suite(40), 16);
    f.Seek(14, 0);
    f.Write("ABCD", 4);  // straddles the first two blocks
    f.Flush();
    auto attendu = Suite(40);
    std::copy_n("ABCD", 4, attendu.begin() + 14);
    EXPECT_EQ(f.donnees, attendu);
}

TEST(Flux, DeplacementAuDelaDesOctetsValides)
{
    // Moving forward within the block's room but past its valid bytes must still write at
    // the position asked for.
    FluxMemoire f({}, 16);
    f.Write("ab", 2);
    f.Seek(8, 0);
    f.Write("z", 1);
    f.Flush();
    ASSERT_EQ(f.donnees.size(), 9u);
    EXPECT_EQ(f.donnees[8], 'z');
    EXPECT_EQ(f.donnees[0], 'a');
}

TEST(Flux, ValeursTypees)
{
    FluxMemoire f({}, 8);
    f.EcritU16(1005);
    f.EcritI32(-2);
    f.EcritReel6(Reel6(1.0L));
    f.EcritTexteCourt(TexteCourt<8>("01/01/80"));
    f.EcritChaine("\xE9t\xE9");
    f.Flush();
    const std::vector<char> attendu = {'\xED', '\x03', '\xFE', '\xFF', '\xFF', '\xFF', '\x81', 0,     0,
                                       0,      0,      0,      8,      '0',    '1',    '/',    '0',   '1',
                                       '/',    '8',    '0',    3,      0,      '\xE9', 't',    '\xE9'};
    EXPECT_EQ(f.donnees, attendu);
    f.Seek(0, 0);
    EXPECT_EQ(f.LitU16(), 1005);
    EXPECT_EQ(f.LitI32(), -2);
    EXPECT_EQ(static_cast<long double>(f.LitReel6()), 1.0L);
    TexteCourt<8> d;
    f.LitTexteCourt(d);
    EXPECT_EQ(d, "01/01/80");
    EXPECT_EQ(f.LitChaine(), "\xE9t\xE9");
    EXPECT_TRUE(f.Fin());
}

TEST(Flux, LongueursHorsLimitesRefusees)
{
    FluxMemoire court(std::vector<char>{9, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
    TexteCourt<8> t;
    EXPECT_THROW(court.LitTexteCourt(t), ErreurFichierEndommage);  // length byte 9 > 8
    FluxMemoire negatif(std::vector<char>{'\x00', '\x80'});
    EXPECT_THROW(negatif.LitChaine(), ErreurFichierEndommage);
    FluxMemoire tronque(std::vector<char>{5, 0, 'a', 'b'});
    EXPECT_THROW(tronque.LitChaine(), ErreurFichierEndommage);
}

TEST(Flux, FichierIntrouvable)
{
    const fs::path p = Temporaire("absent") / "rien.fic";
    try {
        TFileBufferStream f(p.string(), TFileBufferStream::kLecture);
        FAIL();
    } catch (const ErreurFlux& e) {
        EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + p.string());
    }
    EXPECT_THROW(TFileBufferStream(fs::temp_directory_path().string(), TFileBufferStream::kLecture), ErreurFlux);

    // A pipe nobody writes to: an open that waits for the other end never returns. The
    // opening runs beside the test, which after seconds opens that end to let it go, and fails.
    const fs::path tube = Temporaire("sans_ecrivain");
    ASSERT_EQ(::mkfifo(tube.c_str(), 0600), 0);
    for (const int mode : {TFileBufferStream::kLecture, 1}) {
        auto refus = std::async(std::launch::async, [&] {
            try {
                TFileBufferStream(tube.string(), mode);
            } catch (const ErreurFlux& e) {
                return std::string(e.what());
            }
            return std::string("ouvert");
        });
        if (refus.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "l'ouverture attend l'autre bout du tube";
            ::close(::open(tube.c_str(), O_RDWR));
        }
        EXPECT_EQ(refus.get(), tube.string() + " est un tube ou un périphérique, et non un fichier.");
    }
}

TEST(Flux, EcritureEchoueeSignalee)
{
    class FluxPlein : public TBufferStream {
    public:
        FluxPlein() : TBufferStream(16) {}

    protected:
        int64_t LectureBrute(void*, int64_t, int64_t) override { return 0; }
        void EcritureBrute(const void*, int64_t, int64_t) override { throw ErreurFlux("Erreur d'écriture"); }
        int64_t TailleBrute() override { return 0; }
    } f;
    f.Write("abc", 3);
    EXPECT_THROW(f.Flush(), ErreurFlux);
}

TEST(Flux, OctetsDesReelsCommeLEncodage)
{
    // The bytes written for a stored real are those of the general encoding, over the
    // whole range of the format.
    uint64_t etat = 12345;
    for (int i = 0; i < 20000; ++i) {
        etat = etat * 6364136223846793005ULL + 1442695040888963407ULL;
        const double mantisse = static_cast<double>(etat >> 11) / 9007199254740992.0 + 0.5;
        const int exposant = static_cast<int>(etat % 250) - 125;
        const double v = std::ldexp(i % 2 ? -mantisse : mantisse, exposant);
        const Reel6 r(v);
        ASSERT_EQ(r.octets(), Reel6::encode(v)) << v;
        ASSERT_EQ(Reel6::depuisOctets(r.octets()).d(), r.d());
    }
}
