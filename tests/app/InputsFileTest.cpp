#include "app/InputsFile.h"
#include "tests/support/TypicalSave.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using sheetmass::Inputs;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// All nine texts, so one comparison shows every difference.
std::vector<std::string> fields(const Inputs& in) {
    return {in.alloy,  in.mode,  in.thickness, in.upper, in.lower,
            in.length, in.width, in.count,     in.places};
}

const Inputs kTypical{"Д16 (1160)", "номиналу", "2", "0,2", "-0,2", "2000", "1000", "1", "2"};
const Inputs kNothing{"", "", "", "", "", "", "", "", "0"};
const QByteArray kTypicalBytes = QByteArray::fromStdString(TypicalSaveImage());
constexpr auto kLocked = QFile::ReadOwner | QFile::ExeOwner;

class InputsFileTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_program.isValid() && m_home.isValid());
        // A data folder of each test's own, under a home of its own.
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home.path().toLocal8Bit());
        QCoreApplication::setApplicationName("sheetmass-inputs-test");
        QStandardPaths::setTestModeEnabled(true);
    }
    void TearDown() override {
        qputenv("HOME", m_oldHome);
        QFile::setPermissions(m_program.path(), kLocked | QFile::WriteOwner);
    }

    QString programFile() const { return m_program.filePath("List.abc"); }
    static QString dataFile() {
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            .filePath("List.abc");
    }
    Inputs restoreAnew() const { return InputsFile(m_program.path()).restore(); }
    // A folder no one can make: its parent is a plain file.
    QString impossibleFolder() {
        writeAll(m_home.filePath("plain"), "x");
        return m_home.filePath("plain/bin");
    }

    QTemporaryDir m_program;
    QTemporaryDir m_home;
    QByteArray m_oldHome;
};

} // namespace

TEST_F(InputsFileTest, FirstStartClosedAtOnceThenTheTypicalSave) {
    InputsFile file(m_program.path());
    EXPECT_EQ(fields(file.restore()), fields(kNothing));
    EXPECT_EQ(file.path(), programFile());
    ASSERT_TRUE(QFileInfo::exists(programFile()));
    EXPECT_EQ(QFileInfo(programFile()).size(), 0);

    ASSERT_TRUE(file.save(file.restore()));
    EXPECT_EQ(QFileInfo(programFile()).size(), 204); // eight empty items
    EXPECT_EQ(fields(restoreAnew()), fields(kNothing));

    QString why;
    ASSERT_TRUE(file.save(kTypical, &why)) << why.toStdString();
    EXPECT_EQ(readAll(programFile()).toHex(), kTypicalBytes.toHex());
    EXPECT_EQ(fields(restoreAnew()), fields(kTypical));
}

// In turn, over one file: a places text that is no number keeps the number
// saved before it, and the rest is saved all the same.
TEST_F(InputsFileTest, InputsComeBackAsSaved) {
    const struct {
        std::string Inputs::*field;
        std::string typed, back; // back: as typed when empty
    } cases[] = {
        {&Inputs::lower, "-0,125", ""},
        {&Inputs::mode, "центру верхнего отклонения", ""},
        {&Inputs::mode, "центру нижнего отклонения", ""},
        {&Inputs::alloy, "АД1 ", ""},
        {&Inputs::alloy, QString(300, QChar(u'Ж')).toStdString(), ""},
        {&Inputs::count, std::string("1\0", 2), ""}, // a NUL is a character like any other
        {&Inputs::alloy, "Д16€№漢😀ёx", "Д16€№??ёx"}, // one mark for each character lost
        {&Inputs::mode, "\xff\xfe", "??"},           // not UTF-8 at all
        {&Inputs::places, "02", "2"},
        {&Inputs::places, "2,50", "2,5"},
        {&Inputs::places, "", "2,5"},
        {&Inputs::places, "abc", "2,5"},
    };
    InputsFile file(m_program.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Inputs in = kTypical;
        in.*c.field = c.typed;
        ASSERT_TRUE(file.save(in));
        in.*c.field = c.back.empty() ? c.typed : c.back;
        EXPECT_EQ(fields(restoreAnew()), fields(in));
    }
}

TEST_F(InputsFileTest, SaveWritesOverTheFileAsItIsNow) {
    InputsFile mine(m_program.path());
    mine.restore();
    // Another copy of the program saves a long alloy text meanwhile.
    Inputs theirs = kTypical;
    theirs.alloy = std::string(50, 'y');
    ASSERT_TRUE(InputsFile(m_program.path()).save(theirs));
    ASSERT_TRUE(mine.save(kTypical));
    EXPECT_EQ(readAll(programFile()), kTypicalBytes + QByteArray(40, 'y'));
}

TEST_F(InputsFileTest, SaveKeepsPermissions) {
    InputsFile file(m_program.path());
    file.restore();
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(programFile(), perms));
    ASSERT_TRUE(file.save(kTypical));
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(programFile()) & ~userBits, perms);
}

TEST_F(InputsFileTest, FolderWithoutRoomFallsBackToTheDataFolder) {
    const QString folder = impossibleFolder();
    InputsFile file(folder);
    EXPECT_EQ(fields(file.restore()), fields(kNothing));
    EXPECT_EQ(file.path(), dataFile());

    QString why;
    ASSERT_TRUE(file.save(kTypical, &why)) << why.toStdString();
    EXPECT_EQ(readAll(dataFile()), kTypicalBytes);
    InputsFile next(folder);
    EXPECT_EQ(fields(next.restore()), fields(kTypical));
    EXPECT_EQ(next.path(), dataFile());
}

TEST_F(InputsFileTest, NowhereToKeepThem) {
    const QString folder = impossibleFolder();
    qputenv("HOME", m_home.filePath("plain").toLocal8Bit());
    InputsFile file(folder);
    EXPECT_EQ(fields(file.restore()), fields(kNothing));
    QString why;
    EXPECT_FALSE(file.save(kTypical, &why));
    EXPECT_TRUE(why.contains("не сохранены") && why.contains("List.abc")) << why.toStdString();
}

TEST_F(InputsFileTest, FailingWriteLeavesTheOldFile) {
    InputsFile file(m_program.path());
    ASSERT_TRUE(file.save(kTypical));

    // Every write past byte 100 of any file now fails (EFBIG).
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{100, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Inputs other = kTypical;
    other.alloy = std::string(300, 'q');
    QString why;
    const bool saved = file.save(other, &why);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readAll(programFile()), kTypicalBytes);
    EXPECT_EQ(QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"List.abc"});
}

// Permission bits do not stop root; these run only for ordinary users.
TEST_F(InputsFileTest, ReadOnlyFolderWithWritableFileIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    writeAll(programFile(), kTypicalBytes);
    ASSERT_TRUE(QFile::setPermissions(m_program.path(), kLocked));
    InputsFile file(m_program.path());
    Inputs in = kTypical;
    in.thickness = "4";
    ASSERT_TRUE(file.save(in));
    EXPECT_EQ(file.path(), programFile());
    EXPECT_EQ(fields(restoreAnew()), fields(in));
    EXPECT_FALSE(QFileInfo::exists(dataFile()));
}

TEST_F(InputsFileTest, ReadOnlyCopyIsReadUntilTheDataFolderHasOne) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only files and folders";
    for (bool folderReadOnly : {false, true}) { // the folder is locked last
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "writable folder");
        QFile::remove(dataFile());
        QFile::remove(programFile());
        writeAll(programFile(), kTypicalBytes);
        ASSERT_TRUE(QFile::setPermissions(programFile(), QFile::ReadOwner));
        ASSERT_TRUE(!folderReadOnly || QFile::setPermissions(m_program.path(), kLocked));

        InputsFile file(m_program.path());
        EXPECT_EQ(fields(file.restore()), fields(kTypical));
        Inputs in = kTypical;
        in.width = "1250";
        ASSERT_TRUE(file.save(in));
        EXPECT_EQ(file.path(), dataFile());
        EXPECT_EQ(fields(restoreAnew()), fields(in));
        EXPECT_EQ(readAll(programFile()), kTypicalBytes);
    }
}
