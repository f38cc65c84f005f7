// A document handed over on the command line: which arguments count, and what opening
// one does to the catalogue.
#include "app/document_argument.h"
#include "content/list_file.h"
#include "main_form_fixture.h"

#include <QDir>
#include <QTreeWidget>

using vokrin::app::DocumentArgument;
using vokrin::app::documentArgument;
using Kind = vokrin::app::DocumentArgument::Kind;

TEST(DocumentArgument, OnlyASingleListOrProjectCounts)
{
    struct Case
    {
        QStringList arguments;
        std::optional<DocumentArgument> expected;
    };
    const Case cases[] = {
        {{}, std::nullopt},
        {{"/songs/evening.lyl"}, DocumentArgument{Kind::ProjectList, "/songs/evening.lyl"}},
        {{"/songs/Берёза.LYP"}, DocumentArgument{Kind::Project, "/songs/Берёза.LYP"}},
        {{"evening.lyl"}, DocumentArgument{Kind::ProjectList, "/work/evening.lyl"}},
        {{"../songs/./a.lyp"}, DocumentArgument{Kind::Project, "/songs/a.lyp"}},
        {{"file:///songs/with%20space.lyl"},
         DocumentArgument{Kind::ProjectList, "/songs/with space.lyl"}},
        // Options, other files, two documents and remote URLs are not read.
        {{"-style"}, std::nullopt},
        {{"--help"}, std::nullopt},
        {{"-platform", "offscreen"}, std::nullopt},
        {{"/songs/a.lyl", "/songs/b.lyl"}, std::nullopt},
        {{"/songs/a.mp3"}, std::nullopt},
        {{"/songs/a.lyl.txt"}, std::nullopt},
        {{"http://example.org/a.lyl"}, std::nullopt},
        {{""}, std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(documentArgument(c.arguments, "/work"), c.expected)
            << c.arguments.join(' ').toStdString();
    }
}

TEST_F(MainFormTest, AListDocumentReplacesTheCatalogueAsTheOpenListButtonDoes)
{
    const QString a = makeSong("a");
    const QString b = makeSong("b");
    form->AddProject(makeSong("old"));
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    form->ListBox2Click();
    const QString loaded = form->BackingTrackPath;
    vokrin::content::writeListFile(path("songs.lyl"), {a, path("missing.lyp"), b});

    vokrin::app::openDocument(*form, {Kind::ProjectList, path("songs.lyl")});
    EXPECT_EQ(catalogueColumn(1), QStringList({a, b}));
    EXPECT_EQ(catalogueColumn(0), QStringList({"a.wav", "b.wav"}));
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(form->BackingTrackPath, loaded) << "the loaded project stays loaded";
    EXPECT_TRUE(desktop->openFileRequests.empty()) << "no dialog is shown";
}

TEST_F(MainFormTest, AProjectDocumentIsAddedAsTheAddButtonAddsIt)
{
    const QString a = makeSong("a");
    const QString b = makeSong("b");
    form->AddProject(a);
    vokrin::app::openDocument(*form, {Kind::Project, b});
    EXPECT_EQ(catalogueColumn(1), QStringList({a, b}));
    EXPECT_EQ(catalogueColumn(0), QStringList({"a.wav", "b.wav"}));
}

TEST_F(MainFormTest, AMissingDocumentIsSkippedAndTheCatalogueStays)
{
    const QString a = makeSong("a");
    form->AddProject(a);
    vokrin::app::openDocument(*form, {Kind::ProjectList, path("no-such.lyl")});
    vokrin::app::openDocument(*form, {Kind::Project, path("no-such.lyp")});
    // A folder named like a list is no list.
    QDir().mkpath(path("folder.lyl"));
    vokrin::app::openDocument(*form, {Kind::ProjectList, path("folder.lyl")});
    EXPECT_EQ(catalogueColumn(1), QStringList({a}));
    EXPECT_TRUE(desktop->messages.empty());
}
