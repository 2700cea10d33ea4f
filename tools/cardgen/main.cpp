// SPDX-License-Identifier: MIT
// kelmora-cardgen: draws the 52 card pictures, the four built-in spade cards and the program icon.
//
//     kelmora-cardgen <repository folder>
//
// writes pkp/*.jpg and game/builtin/{ace,two,ten,four}.jpg, icon*.png under that folder.
// The output depends only on this code and the installed fonts, so running it again changes nothing.
#include "art.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

using namespace cardgen;

namespace {

// The deck keeps full colour resolution for its red indices and pips. The built-ins have black
// indices and soft colours, which lose nothing visible at half colour resolution and a lower quality.
constexpr int cardQuality = 90;
constexpr int builtinQuality = 80;

bool report(bool ok, const QString &path)
{
    if (!ok)
        std::fprintf(stderr, "kelmora-cardgen: cannot write %s\n", qPrintable(path));
    return ok;
}

// What a card is called aloud: suit name, a space, A, 2 to 10, J, Q or K.
QString cardName(const QString &suitName, int rank)
{
    const QString ranks[]
        = { QStringLiteral("A"), QStringLiteral("J"), QStringLiteral("Q"), QStringLiteral("K") };
    const QString rankName = rank == 1 ? ranks[0] : rank > 10 ? ranks[rank - 10] : QString::number(rank);
    return suitName + u' ' + rankName;
}

bool writeCards(const QDir &folder)
{
    // Named as the game looks them up: suit name, "(", rank, ").jpg".
    const QString suitNames[]
        = { QStringLiteral("黑桃"), QStringLiteral("红桃"), QStringLiteral("梅花"), QStringLiteral("方块") };
    bool ok = true;
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank = 1; rank <= 13; ++rank) {
            const QString path = folder.filePath(
                suitNames[suit - 1] + u'(' + QString::number(rank) + QStringLiteral(").jpg"));
            const QImage card = drawCard(static_cast<Suit>(suit), rank);
            const QString name = cardName(suitNames[suit - 1], rank);
            ok = report(writeJpeg(card, path, cardQuality, true, name), path) && ok;
        }
    }
    return ok;
}

bool writeBuiltins(const QDir &folder)
{
    const QString spades = QStringLiteral("黑桃");
    const struct {
        Builtin which;
        const char *file;
        int rank;
    } builtins[] = { { Builtin::ace, "ace.jpg", 1 }, { Builtin::two, "two.jpg", 2 },
        { Builtin::ten, "ten.jpg", 10 }, { Builtin::four, "four.jpg", 4 } };
    bool ok = true;
    for (const auto &builtin : builtins) {
        const QString path = folder.filePath(QString::fromLatin1(builtin.file));
        const QString name = cardName(spades, builtin.rank);
        ok = report(writeJpeg(drawBuiltin(builtin.which), path, builtinQuality, false, name), path) && ok;
    }
    for (int size : { 16, 32, 48, 64, 128, 256 }) {
        const QString path = folder.filePath(QStringLiteral("icon%1.png").arg(size));
        ok = report(drawIcon(size).save(path, "PNG"), path) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs no screen; the offscreen platform works on build machines without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: kelmora-cardgen <repository folder>\n");
        return 2;
    }
    const QDir root(arguments.at(1));
    const QDir pkp(root.filePath(QStringLiteral("pkp")));
    const QDir builtin(root.filePath(QStringLiteral("game/builtin")));
    if (!pkp.exists() || !builtin.exists()) {
        std::fprintf(stderr, "kelmora-cardgen: %s has no pkp/ or game/builtin/ folder\n",
            qPrintable(QDir::toNativeSeparators(root.absolutePath())));
        return 2;
    }

    const bool cardsOk = writeCards(pkp);
    const bool builtinsOk = writeBuiltins(builtin);
    return cardsOk && builtinsOk ? 0 : 1;
}
