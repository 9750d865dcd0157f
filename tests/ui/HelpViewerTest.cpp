#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <algorithm>
#include <memory>

#include "UiTestSupport.h"
#include "model/CTmpDoc.h"
#include "ui/CTmpFrame.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/HelpViewer.h"
#include "ui/PasswordEntryDialog.h"
#include "ui/ProgressWindow.h"
#include "ui/RadioWideSettingsDialog.h"

namespace quillon::ui {
namespace {

// What Qt's own HTML reader makes of one page: its title, the places links
// may point to, and the links.
struct PageLinks {
    QString title;
    QSet<QString> anchors;
    QStringList hrefs;
    QStringList linkTexts;  // beside hrefs
};

PageLinks ReadPage(const QUrl& url) {
    QTextBrowser browser;
    browser.setSource(url);
    PageLinks page;
    page.title = browser.documentTitle();
    const QTextDocument* doc = browser.document();
    for (QTextBlock b = doc->begin(); b != doc->end(); b = b.next()) {
        for (const QString& name : b.charFormat().anchorNames()) {
            page.anchors.insert(name);
        }
        for (const QString& name : b.blockFormat()
                                       .stringProperty(QTextFormat::AnchorName)
                                       .split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            page.anchors.insert(name);
        }
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (const QString& name : f.anchorNames()) {
                page.anchors.insert(name);
            }
            if (f.isAnchor() && !f.anchorHref().isEmpty()) {
                page.hrefs << f.anchorHref();
                page.linkTexts << it.fragment().text();
            }
        }
    }
    return page;
}

// Every page of the manual built into the program, by file name.
QMap<QString, PageLinks> ReadManual() {
    HelpViewer registersTheResources;
    QMap<QString, PageLinks> pages;
    const QStringList files =
        QDir(QStringLiteral(":/manual")).entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString& f : files) {
        pages.insert(f, ReadPage(ManualUrl(f)));
    }
    return pages;
}

// True when "page.html#anchor" (or a page alone) names a place that exists.
bool Resolves(const QMap<QString, PageLinks>& pages, const QString& topic) {
    const QUrl url = ManualUrl(topic);
    const QString file = url.path().mid(url.path().lastIndexOf(QLatin1Char('/')) + 1);
    if (!pages.contains(file)) {
        return false;
    }
    return !url.hasFragment() || pages[file].anchors.contains(url.fragment());
}

TEST(Manual, EveryLinkLeadsToAPageAndAnchorThatExist) {
    const auto pages = ReadManual();
    ASSERT_GE(pages.size(), 15);
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_FALSE(it->title.isEmpty());
        EXPECT_TRUE(it->title.endsWith(QLatin1String(" - Quillon Radio Programmer Help")));
        for (const QString& href : it->hrefs) {
            SCOPED_TRACE(href.toStdString());
            const QUrl target = ManualUrl(it.key()).resolved(QUrl(href));
            EXPECT_EQ(target.scheme(), QLatin1String("qrc")) << "a link out of the manual";
            QString topic = target.path().mid(target.path().lastIndexOf(QLatin1Char('/')) + 1);
            if (target.hasFragment()) {
                topic += QLatin1Char('#') + target.fragment();
            }
            EXPECT_TRUE(Resolves(pages, topic));
        }
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/manual/style.css")));
}

TEST(Manual, EveryPageIsReachableFromTheContentsAndTheIndexCoversThem) {
    const auto pages = ReadManual();
    QSet<QString> seen{QStringLiteral("index.html")};
    QStringList todo{QStringLiteral("index.html")};
    while (!todo.isEmpty()) {
        const QString page = todo.takeFirst();
        for (const QString& href : pages[page].hrefs) {
            const QUrl target = ManualUrl(page).resolved(QUrl(href));
            const QString file = target.path().mid(target.path().lastIndexOf(QLatin1Char('/')) + 1);
            if (pages.contains(file) && !seen.contains(file)) {
                seen.insert(file);
                todo << file;
            }
        }
    }
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        EXPECT_TRUE(seen.contains(it.key())) << it.key().toStdString() << " cannot be reached";
    }
    // The keyword index is a real index: many entries in alphabetical order,
    // and a bar of exactly their first letters leading to the headings.
    const PageLinks& index = pages[QStringLiteral("keywords.html")];
    QStringList entries;
    QSet<QString> bar;
    QSet<QString> initials;
    for (qsizetype i = 0; i < index.hrefs.size(); ++i) {
        const QString& href = index.hrefs[i];
        if (href.startsWith(QLatin1String("#key-"))) {
            bar.insert(href.mid(5));
        } else if (href != QLatin1String("index.html") && href != QLatin1String("keywords.html") &&
                   href != QLatin1String("using-help.html")) {
            entries << index.linkTexts[i];
            initials.insert(index.linkTexts[i].left(1).toUpper());
        }
    }
    EXPECT_GE(entries.size(), 50);
    EXPECT_EQ(bar, initials);
    QStringList sorted = entries;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(entries, sorted);
}

TEST(Manual, TheBuiltInPagesAreTheSourcePages) {
    HelpViewer registersTheResources;
    const QDir source(QStringLiteral(QUILLON_TEST_DATA_DIR "/../../docs/manual"));
    ASSERT_TRUE(source.exists());
    const QStringList filters{QStringLiteral("*.html"), QStringLiteral("*.css")};
    const QStringList built = QDir(QStringLiteral(":/manual")).entryList(filters, QDir::Files);
    EXPECT_EQ(built, source.entryList(filters, QDir::Files));
    for (const QString& f : built) {
        QFile a(QStringLiteral(":/manual/") + f);
        QFile b(source.filePath(f));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << f.toStdString();
    }
}

TEST(HelpTopics, EveryMenuCommandAndKnownWindowHasAnEntryThatExists) {
    const auto pages = ReadManual();
    CTmpFrame frame;
    frame.SetRecentFiles({QStringLiteral("/tmp/a.bcf"), QStringLiteral("/tmp/b.bcf")});
    int commands = 0;
    for (QAction* a : frame.findChildren<QAction*>()) {
        bool ok = false;
        const int id = a->data().toInt(&ok);
        if (!ok || id == 0) {
            continue;
        }
        ++commands;
        const QString topic = HelpTopicForCommand(id);
        EXPECT_FALSE(topic.isEmpty()) << id;
        EXPECT_TRUE(Resolves(pages, topic)) << id << " " << topic.toStdString();
    }
    EXPECT_GE(commands, 30);
    EXPECT_TRUE(HelpTopicForCommand(12345).isEmpty());

    for (const char* title : {"Configure Serial Comms",
                              "Modem Commands",
                              "Dial",
                              "Password Entry",
                              "Change Password",
                              "Radio Wide Settings",
                              "Channel Table",
                              "Copy Channels",
                              "Channel Settings",
                              "Configure Scan Channel Reference",
                              "Active Squelch Groups",
                              "Squelch Group Properties",
                              "Tone Remote Settings",
                              "Tone Remote Properties",
                              "Encryption Settings",
                              "Add Key",
                              "Serial Debug",
                              "BCI_RX",
                              "BCI TX",
                              "About Quillon Radio Programmer",
                              "Login",
                              "Delete references to channel 7",
                              "Quillon Radio Programmer"}) {
        const QString topic = HelpTopicForTitle(QString::fromLatin1(title));
        EXPECT_FALSE(topic.isEmpty()) << title;
        EXPECT_TRUE(Resolves(pages, topic)) << title << " " << topic.toStdString();
    }
    EXPECT_TRUE(HelpTopicForTitle(QStringLiteral("Some other window")).isEmpty());
}

TEST(HelpViewer, TheHelpCommandsOpenTheirPages) {
    HelpViewer viewer;
    viewer.ShowContents();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("index.html")));
    EXPECT_EQ(viewer.Browser()->documentTitle(),
              QStringLiteral("Contents - Quillon Radio Programmer Help"));
    viewer.ShowIndex();
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("keywords.html")));
    viewer.ShowUsingHelp();
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("using-help.html")));
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QLatin1String("Shift+F1")));
    viewer.ShowCommand(32774);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("menus.html#cmd-32774")));
    viewer.ShowCommand(999);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("index.html")));
    // Back walks the pages seen.
    viewer.Browser()->backward();
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("menus.html#cmd-32774")));
}

TEST(HelpViewer, ShowPageForMapsTheProgramsWindows) {
    HelpViewer viewer;
    model::CTmpDoc doc;
    CTmpFrame frame;
    frame.SetDocumentName(QStringLiteral("site-a.bcf"));
    PasswordEntryDialog password;
    ChangePasswordDialog change;
    RadioWideSettingsDialog radio(doc);
    ProgressWindow progress;
    progress.SetTitle("Send Channel Data");
    ProgressWindow untitled;
    QDialog addKey;
    addKey.setWindowTitle(QStringLiteral("Add Key"));
    auto* inside = new QLineEdit(&addKey);
    QDialog stranger;
    stranger.setWindowTitle(QStringLiteral("Something else"));

    const std::pair<QWidget*, const char*> cases[] = {
        {&frame, "main-window.html"},
        {&password, "password.html#entry"},
        {&change, "password.html#change"},
        {&radio, "radio-wide.html"},
        {&progress, "get-send.html#send"},
        {&untitled, "main-window.html#progress"},
        {&addKey, "encryption.html#add"},
        {inside, "encryption.html#add"},  // a control: its window's page
        {&stranger, "index.html"},
        {&viewer, "using-help.html"},
    };
    for (const auto& [window, topic] : cases) {
        viewer.ShowPageFor(window);
        EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QString::fromLatin1(topic))) << topic;
    }
}

TEST(HelpViewer, StaysUsableBesideAModalDialogAndOutlivesIt) {
    QWidget home;
    HelpViewer viewer(&home);
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowTitle(QStringLiteral("Channel Table"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    ASSERT_EQ(QApplication::activeModalWidget(), dialog.get());
    viewer.ShowPageFor(dialog.get());
    // A window of the modal dialog is not blocked by it.
    EXPECT_EQ(viewer.parentWidget(), dialog.get());
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("channel-table.html#dialog")));

    dialog->hide();
    EXPECT_EQ(viewer.parentWidget(), &home);
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_TRUE(viewer.isWindow());
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("channel-table.html#dialog")));

    // A dialog destroyed while shown does not take the help with it.
    QPointer<HelpViewer> alive(&viewer);
    auto second = std::make_unique<QDialog>();
    second->setWindowModality(Qt::ApplicationModal);
    second->show();
    viewer.ShowContents();
    EXPECT_EQ(viewer.parentWidget(), second.get());
    second.reset();
    ASSERT_FALSE(alive.isNull());
    EXPECT_EQ(viewer.parentWidget(), &home);
}

TEST(ContextHelp, FOneInADialogOpensItsPageAndShiftFOneClickOpensACommand) {
    HelpViewer viewer;
    CTmpFrame frame;
    int gets = 0;
    frame.SetCommandHandler(CTmpFrame::kIdGet, [&gets] { ++gets; });
    frame.show();
    ContextHelp help(viewer, &frame);

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Tone Remote Properties"));
    auto* edit = new QLineEdit(&dialog);
    dialog.show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("tone-remote.html#properties")));
    // In the main window F1 belongs to its own command.
    viewer.ShowContents();
    QTest::keyClick(&frame, Qt::Key_F1);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("index.html")));

    // Shift+F1, then a click on the Get button: its entry, and no Get.
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(help.Active());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    QWidget* getButton = frame.ToolBar()->widgetForAction(frame.Action(CTmpFrame::kIdGet));
    ASSERT_NE(getButton, nullptr);
    QTest::mouseClick(getButton, Qt::LeftButton);
    EXPECT_FALSE(help.Active());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("menus.html#cmd-32774")));
    EXPECT_EQ(gets, 0);

    // Esc leaves the mode without help; the next click is an ordinary one.
    help.Enter();
    viewer.ShowContents();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(help.Active());
    QTest::mouseClick(getButton, Qt::LeftButton);
    EXPECT_EQ(gets, 1);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("index.html")));

    // A click on a window, not a command: that window's page.
    help.Enter();
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("tone-remote.html#properties")));
}

TEST(ContextHelp, AClickOnAMenuCommandOpensItsEntryWithoutRunningIt) {
    HelpViewer viewer;
    CTmpFrame frame;
    int news = 0;
    frame.SetCommandHandler(CTmpFrame::kIdNew, [&news] { ++news; });
    frame.show();
    ContextHelp help(viewer, &frame);
    QMenu* file = frame.menuBar()->actions().first()->menu();
    ASSERT_NE(file, nullptr);
    help.Enter();
    file->popup(frame.mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QTest::mouseClick(file, Qt::LeftButton, {},
                      file->actionGeometry(frame.Action(CTmpFrame::kIdNew)).center());
    EXPECT_EQ(viewer.CurrentPage(), ManualUrl(QStringLiteral("menus.html#cmd-57600")));
    EXPECT_FALSE(help.Active());
    EXPECT_FALSE(file->isVisible());
    EXPECT_EQ(news, 0);
}

}  // namespace
}  // namespace quillon::ui
