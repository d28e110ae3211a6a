// --fetch against a server on 127.0.0.1 in this process: the tool's own event loop serves it.
#include "clitestsupport.h"
#include "support/localhttpserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace omvex::cli {
namespace {

using omvex::test::LocalHttpServer;
using test::parseJson;
using test::readFile;
using test::writeFile;
using namespace std::chrono_literals;

const QByteArray kTwoDraws = "1,1,2,3,4,5,6,7\n2,8,9,10,11,12,13,14\n";

TEST(FetchCommand, addressAndAnswer_decideWhatIsWrittenAndTheStatus)
{
    struct Row {
        const char *name;
        const char *given; // the address on the command line: a path on the server, or as it is
        QByteArray ini;    // omvex.ini; "%1" stands for the server's address
        LocalHttpServer::Answer answer;
        int status;
        const char *code; // of the first JSON error; empty: none
        int draws;        // in kako.txt afterwards
    };
    LocalHttpServer::Answer dated;
    dated.body = "回号,抽選日,本1,本2,本3,本4,本5,本6,ボ\n4,2026/5/7,2,4,6,8,10,12,14\n3,2026/5/4,1,9,17,25,33,41,2\n";
    LocalHttpServer::Answer missing;
    missing.status = "404 Not Found";
    LocalHttpServer::Answer silent;
    silent.answers = false;
    LocalHttpServer::Answer page;
    page.body = "<!DOCTYPE html><html><body>結果はこちら</body></html>\n";
    const Row rows[] = {
        {"given_added", "/r.csv", "", dated, kExitOk, "", 4},
        {"fromIni_added", "", "[OmvexINI]\nLevel=2\n[Torikomi]\nURL=%1\n", dated, kExitOk, "", 4},
        {"givenWinsOverIni", "/r.csv", "[Torikomi]\nURL=http://127.0.0.1:1/elsewhere.csv\n", dated, kExitOk, "", 4},
        {"noAddress_usage", "", "[OmvexINI]\nLevel=2\n", dated, kExitUsage, nullptr, 2},
        {"iniAddressNotWeb_usage", "", "[Torikomi]\nURL=file:///tmp/r.csv\n", dated, kExitUsage, nullptr, 2},
        {"givenNotWeb_usage", "ftp://127.0.0.1/r.csv", "", dated, kExitUsage, nullptr, 2},
        {"notFound_refused", "/r.csv", "", missing, kExitRefused, "http-status", 2},
        {"noAnswer_timeout", "/r.csv", "", silent, kExitRefused, "timeout", 2},
        {"notAResultsFile_importsOwnDiagnosis", "/r.csv", "", page, kExitRefused, "", 2},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (const bool json : {true, false}) {
            LocalHttpServer server;
            ASSERT_TRUE(server.isListening());
            server.serve("/r.csv", row.answer);
            const QString address = server.url(QStringLiteral("/r.csv")).toString();
            QTemporaryDir dir;
            writeFile(dir.filePath("kako.txt"), kTwoDraws);
            const QByteArray ini = QByteArray(row.ini).replace("%1", address.toUtf8());
            if (!ini.isEmpty())
                writeFile(dir.filePath("omvex.ini"), ini);
            QStringList arguments{QStringLiteral("--fetch")};
            if (*row.given)
                arguments << (row.given[0] == '/' ? address : QString::fromUtf8(row.given));
            if (json)
                arguments << QStringLiteral("--json");

            Environment environment;
            environment.programFolder = dir.path();
            environment.downloadLimits.timeout = 1500ms;
            std::ostringstream out;
            std::ostringstream err;
            const int status = runArguments(arguments, environment, out, err);

            EXPECT_EQ(status, row.status) << err.str();
            EXPECT_EQ(readFile(dir.filePath("kako.txt")).count('\n'), row.draws);
            // The tool never keeps an address, nor touches the settings.
            EXPECT_EQ(readFile(dir.filePath("omvex.ini")), ini.isEmpty() ? QByteArray() : ini);
            if (row.status == kExitUsage || (row.code && *row.code)) {
                const std::string line = err.str();
                EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
                EXPECT_EQ(line.rfind("omvex-predict: ", 0), 0u) << line;
            }
            if (row.status == kExitUsage) {
                EXPECT_TRUE(out.str().empty());
                continue;
            }
            if (!json)
                continue;
            const QJsonObject answer = parseJson(out.str());
            const QJsonArray errors = answer.value("errors").toArray();
            if (row.status == kExitOk) {
                EXPECT_EQ(answer.value("import").toObject().value("file").toString(), address);
                EXPECT_EQ(answer.value("import").toObject().value("added").toInt(), 2);
                EXPECT_EQ(answer.value("history").toObject().value("draws").toInt(), 4);
            } else {
                // A refusal gives the import object too, naming the address it came from.
                EXPECT_EQ(answer.value("import").toObject().value("file").toString(), address);
                ASSERT_FALSE(errors.isEmpty());
                if (*row.code) {
                    EXPECT_EQ(errors.at(0).toObject().value("code").toString().toStdString(), row.code);
                }
            }
        }
    }
}

} // namespace
} // namespace omvex::cli

int main(int argc, char **argv)
{
    // The download runs in an event loop, which needs an application; so does the server.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
