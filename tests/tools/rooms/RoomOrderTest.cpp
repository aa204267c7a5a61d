#include "FakeSources.h"
#include "RoomOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

// Lists of paths read as text when they differ.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {
// Which way the sources depend, bottom to top; rooms on one line do not include each other. A new
// room folder takes its place here, and the source layout in docs/development.md names the same order.
const QList<RoomOrder::Layer> &sourceOrder()
{
    static const QList<RoomOrder::Layer> layers{
        {"platform", {}},
        {"core",
         {{"base"},
          {"store", "keypad"},
          {"roster", "authoring"},
          {"engine"},
          {"presentation", "reports"},
          {"gradebook"},
          {"app"}}},
        {"ui",
         {{"controls"},
          {"roster", "authoring"},
          {"run"},
          {"presentation", "reports"},
          {"keypad", "gradebook"},
          {"app"}}},
    };
    return layers;
}

QString sourceDir()
{
    return QStringLiteral(POLLIX_SOURCE_DIR "/src");
}

QStringList described(const QList<RoomOrder::WrongInclude> &wrong)
{
    QStringList out;
    for (const RoomOrder::WrongInclude &w : wrong)
        out << RoomOrder::describe(w);
    return out;
}

const QList<RoomOrder::Layer> kSmallOrder{
    {"platform", {}},
    {"core", {{"base"}, {"store", "keypad"}, {"app"}}},
    {"ui", {}},
};
} // namespace

TEST(RoomOrder, EveryIncludeOfTheSourcesPointsDown)
{
    const QStringList wrong = described(RoomOrder(sourceOrder()).wrongIncludes(sourceDir()));
    EXPECT_TRUE(wrong.isEmpty()) << "Includes that point up or sideways against the order of the rooms:\n"
                                 << wrong.join(QLatin1Char('\n')).toStdString();
}

TEST(RoomOrder, EveryFolderOfTheSourcesHasItsPlace)
{
    const QStringList unplaced = RoomOrder(sourceOrder()).unplaced(sourceDir());
    EXPECT_TRUE(unplaced.isEmpty()) << "Folders the order does not place, or rooms it names without a folder:\n"
                                    << unplaced.join(QLatin1Char('\n')).toStdString();
}

TEST(RoomOrder, TheSourcesTurnedUpsideDownAreCaught)
{
    // The check reads the real tree: against the rooms' order reversed, the delegate's include of
    // the base it derives from is wrong; with the core and ui layers swapped, ui's includes of core are.
    QList<RoomOrder::Layer> reversed = sourceOrder();
    std::reverse(reversed[1].levels.begin(), reversed[1].levels.end());
    const QStringList wrong = described(RoomOrder(reversed).wrongIncludes(sourceDir()));
    EXPECT_TRUE(std::any_of(wrong.begin(), wrong.end(), [](const QString &line) {
        return line.startsWith("core/app/Orvenda_AppDelegate.h:") && line.endsWith("(core/app -> core/base)");
    })) << wrong.join(QLatin1Char('\n')).toStdString();

    QList<RoomOrder::Layer> layersSwapped = sourceOrder();
    // Ui's rooms left unordered here: only the layers are judged, and ui is named as a whole.
    layersSwapped[2].levels.clear();
    std::swap(layersSwapped[1], layersSwapped[2]);
    const QStringList intoUi = described(RoomOrder(layersSwapped).wrongIncludes(sourceDir()));
    EXPECT_TRUE(std::any_of(intoUi.begin(), intoUi.end(),
                            [](const QString &line) { return line.endsWith("(ui -> core/app)"); }));
}

TEST(RoomOrder, UiRoomsTurnedUpsideDownOrPutOnOneLineAreCaught)
{
    // Ui's rooms are held in their own order: reversed, the main window's include of the shared
    // controls is wrong; with every room on one line, the gradebook's reports built on the
    // report window's frame are, and core's order is not touched by either.
    QList<RoomOrder::Layer> reversed = sourceOrder();
    std::reverse(reversed[2].levels.begin(), reversed[2].levels.end());
    const QStringList wrong = described(RoomOrder(reversed).wrongIncludes(sourceDir()));
    EXPECT_TRUE(std::any_of(wrong.begin(), wrong.end(), [](const QString &line) {
        return line.startsWith("ui/app/TabController.cpp:") && line.endsWith("(ui/app -> ui/controls)");
    })) << wrong.join(QLatin1Char('\n')).toStdString();

    QList<RoomOrder::Layer> oneLine = sourceOrder();
    QStringList rooms;
    for (const QStringList &level : oneLine[2].levels)
        rooms += level;
    oneLine[2].levels = {rooms};
    const QStringList sideways = described(RoomOrder(oneLine).wrongIncludes(sourceDir()));
    EXPECT_TRUE(std::any_of(sideways.begin(), sideways.end(),
                            [](const QString &line) { return line.endsWith("(ui/gradebook -> ui/reports)"); }))
        << sideways.join(QLatin1Char('\n')).toStdString();
    for (const QStringList *lines : {&wrong, &sideways})
        EXPECT_TRUE(std::none_of(lines->begin(), lines->end(),
                                 [](const QString &line) { return line.startsWith("core/"); }));
}

TEST(RoomOrder, IncludesUpOrSidewaysAreNamedWithTheirFileLineAndRooms)
{
    FakeSources src;
    src.write("core/base/B.h", "#pragma once\n");
    src.write("core/base/B2.h", "#include \"B.h\"\n#include \"Missing.h\"\n#include <QString>\n");
    src.write("core/store/S.h", "#include \"core/base/B.h\"\n");
    src.write("core/store/S.cpp", "#include \"S.h\"\n"
                                  "#include \"core/app/A.h\"\n"
                                  "  #  include \"core/keypad/K.h\" // sideways\n"
                                  "// #include \"core/app/A.h\"\n"
                                  "#include \"../app/A.h\"\n"
                                  "#include <core/app/A.h>\n");
    src.write("core/keypad/K.h", "#include \"B.h\"\n"); // no B.h beside it, none in src/: not the tree's
    src.write("core/app/A.h", "#include \"core/store/S.h\"\n#include \"ui/one/W.h\"\n");
    src.write("platform/P.h", "#include \"core/base/B.h\"\n#include \"platform/Q.h\"\n");
    src.write("platform/Q.h", "\n");
    src.write("ui/one/W.h", "#include \"ui/two/V.h\"\n#include \"core/app/A.h\"\n#include \"platform/P.h\"\n");
    src.write("ui/two/V.h", "#include \"../one/W.h\"\n#include \"main.cpp\"\n");
    src.write("main.cpp", "#include \"ui/one/W.h\"\n");

    const QList<RoomOrder::WrongInclude> wrong = RoomOrder(kSmallOrder).wrongIncludes(src.dir());
    EXPECT_EQ(described(wrong), (QStringList{
                                    "core/app/A.h:2: #include \"ui/one/W.h\" (core/app -> ui)",
                                    "core/store/S.cpp:2: #include \"core/app/A.h\" (core/store -> core/app)",
                                    "core/store/S.cpp:3: #include \"core/keypad/K.h\" (core/store -> core/keypad)",
                                    "core/store/S.cpp:5: #include \"../app/A.h\" (core/store -> core/app)",
                                    "core/store/S.cpp:6: #include \"core/app/A.h\" (core/store -> core/app)",
                                    "platform/P.h:1: #include \"core/base/B.h\" (platform -> core/base)",
                                    "ui/two/V.h:2: #include \"main.cpp\" (ui -> the program)",
                                }));
    ASSERT_FALSE(wrong.isEmpty());
    EXPECT_EQ(wrong.first().file, "core/app/A.h");
    EXPECT_EQ(wrong.first().line, 2);
    EXPECT_EQ(wrong.first().from, "core/app");
    EXPECT_EQ(wrong.first().to, "ui");
}

TEST(RoomOrder, AFolderOutsideTheOrderIsNamedAndItsIncludesAreWrong)
{
    FakeSources src;
    src.write("core/base/B.h", "\n");
    src.write("core/store/S.h", "#include \"core/fresh/F.h\"\n");
    src.write("core/fresh/F.h", "#include \"core/base/B.h\"\n");
    src.write("core/Loose.h", "\n");
    src.write("extra/E.h", "\n");
    src.write("ui/one/W.h", "#include \"core/fresh/F.h\"\n");

    QList<RoomOrder::Layer> order = kSmallOrder;
    order[1].levels.append(QStringList{"gone"});
    EXPECT_EQ(RoomOrder(order).unplaced(src.dir()),
              (QStringList{"extra", "core/fresh", "core/Loose.h", "core/keypad", "core/app", "core/gone"}));
    EXPECT_EQ(described(RoomOrder(order).wrongIncludes(src.dir())),
              (QStringList{"core/fresh/F.h:1: #include \"core/base/B.h\" (core/fresh -> core/base)",
                           "core/store/S.h:1: #include \"core/fresh/F.h\" (core/store -> core/fresh)"}));
}
