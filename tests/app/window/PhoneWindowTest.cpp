// 在手机上打开… in the window: nothing is served until the user agrees; then
// the address the dialog shows answers over the network with the form and
// readings from the window's database, its QR code reads back (with zbarimg)
// as that address, and serving ends with the stop button or the window.
#include "PhoneDialog.h"
#include "WindowFixture.h"
#include "WindowScript.h"

#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>

namespace velmora {
namespace {

struct Fetched {
    bool answered = false;
    int status = 0;
    QString body;
};

// What a browser in the network gets for `url`.
Fetched Fetch(const QString& url) {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(QUrl(url))));
    if (!WaitFor([&] { return reply->isFinished(); }, 5000)) return {};
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return {status.isValid(), status.toInt(), QString::fromUtf8(reply->readAll())};
}

// What zbarimg reads from the QR code in a screenshot.
QString DecodedQrCode(const QString& screenshot) {
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), screenshot});
    if (!zbar.waitForFinished(15000)) return QStringLiteral("(zbarimg did not finish)");
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

class Phone : public Window {
protected:
    void SetUp() override {
        if (LocalNetworkAddress().isEmpty()) GTEST_SKIP() << "this computer has no address in a local network";
    }
    void TearDown() override { SetWindowScript(Script::Simplified); }

    // Chooses 在手机上打开… with the question answered `agree`.
    void ChoosePhone(bool agree) {
        ApplicationBoxes().agrees = agree;
        form_->N5->trigger();
        const QStringList questions = ApplicationBoxes().Texts(RecordedBox::Question);
        ASSERT_EQ(questions.size(), 1);
        EXPECT_TRUE(questions[0].contains(LocalNetworkAddress())) << questions[0].toStdString();
    }
};

TEST_F(Phone, DeclinedServesNothing) {
    Open();
    ChoosePhone(false);
    ASSERT_NE(form_->Phone, nullptr);
    EXPECT_FALSE(form_->Phone->Serving());
    EXPECT_FALSE(form_->Phone->isVisible());
    EXPECT_FALSE(Fetch(QStringLiteral("http://%1:%2/").arg(LocalNetworkAddress()).arg(kPhonePort)).answered);
}

TEST_F(Phone, AgreedServesTheShownAddressWithAReadableQrCodeUntilStopped) {
    Open();
    ChoosePhone(true);
    ASSERT_TRUE(form_->Phone->isVisible());
    const QString url = form_->Phone->lblUrl->text();
    EXPECT_TRUE(url.startsWith(QStringLiteral("http://%1:").arg(LocalNetworkAddress()))) << url.toStdString();

    const Fetched form = Fetch(url);
    EXPECT_EQ(form.status, 200);
    EXPECT_TRUE(form.body.contains(QStringLiteral("<form"))) << form.body.left(300).toStdString();
    // The window's own database, copied: the reading's commentary is there.
    const Fetched reading = Fetch(url + QStringLiteral("reading?name=张三&sex=男&gregorian=1990-5-17&hour=8"));
    EXPECT_EQ(reading.status, 200);
    EXPECT_TRUE(reading.body.contains(QStringLiteral("张三")));
    EXPECT_TRUE(reading.body.contains(QStringLiteral("两"))) << reading.body.left(300).toStdString();

    SaveScreenshot(*form_->Phone, QStringLiteral("phone-dialog"));
    EXPECT_EQ(DecodedQrCode(QStringLiteral(VELMORA_SCREENSHOT_DIR "/phone-dialog.png")), url);

    Click(*form_->Phone->btnStop);
    EXPECT_FALSE(form_->Phone->isVisible());
    EXPECT_FALSE(form_->Phone->Serving());
    EXPECT_FALSE(Fetch(url).answered);
    EXPECT_TRUE(Errors().isEmpty() && Informations().isEmpty());
}

TEST_F(Phone, APortInUseGivesWayToAFreeOne) {
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress(LocalNetworkAddress()), kPhonePort));
    Open();
    ChoosePhone(true);
    const QString url = form_->Phone->Url();
    EXPECT_FALSE(url.endsWith(QStringLiteral(":%1/").arg(kPhonePort))) << url.toStdString();
    EXPECT_EQ(Fetch(url).status, 200);
}

TEST_F(Phone, ClosingTheWindowStopsServingAndTheDialogSpeaksTheWindowsScript) {
    Open();
    SetWindowScript(Script::Taiwan);
    ChoosePhone(true);
    EXPECT_EQ(form_->Phone->btnStop->text(), QStringLiteral("停止"));
    EXPECT_EQ(form_->Phone->windowTitle(), QStringLiteral("在手機上打開"));
    const QString url = form_->Phone->Url();
    ASSERT_EQ(Fetch(url).status, 200);
    form_->close();
    EXPECT_FALSE(Fetch(url).answered);
}

}  // namespace
}  // namespace velmora
