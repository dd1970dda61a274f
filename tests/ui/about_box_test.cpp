// The About box: the main window stays usable beside it, and OK releases it.
#include <QAction>
#include <QDialog>

#include "window_fixture.h"

namespace {

using records::TableId;

class AboutBox : public WindowFixture {
protected:
    QDialog* openAbout() {
        window->findChild<QAction*>(QStringLiteral("menuAbout"))->trigger();
        return window->findChild<QDialog*>(QStringLiteral("frmAbout"));
    }
    void releaseClosed() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(AboutBox, IsModelessAndBuiltAfreshAfterOk) {
    ASSERT_TRUE(load());
    auto* about = openAbout();
    ASSERT_NE(about, nullptr);
    click(QStringLiteral("cmdNext"));
    EXPECT_EQ(shownNumber(TableId::Races), QStringLiteral("2")) << "the main window works beside the box";
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(openAbout(), about) << "a second About brings the same box forward";
    EXPECT_EQ(window->findChildren<QDialog*>(QStringLiteral("frmAbout")).size(), 1);

    about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    releaseClosed();
    EXPECT_TRUE(window->findChildren<QDialog*>(QStringLiteral("frmAbout")).isEmpty()) << "OK releases the box";
    auto* again = openAbout();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isVisible());
}

}  // namespace
