#include "app/InputsFile.h"
#include "tests/support/TypicalSave.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
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

Inputs typicalInputs() {
    Inputs in;
    in.mode = "номиналу";
    in.thickness = "2";
    in.upper = "0,2";
    in.lower = "-0,2";
    in.length = "2000";
    in.width = "1000";
    in.count = "1";
    in.places = "2";
    in.alloy = "Д16 (1160)";
    return in;
}

QByteArray typicalBytes() {
    return QByteArray::fromStdString(TypicalSaveImage());
}

void expectSame(const Inputs& got, const Inputs& want) {
    EXPECT_EQ(got.mode, want.mode);
    EXPECT_EQ(got.thickness, want.thickness);
    EXPECT_EQ(got.upper, want.upper);
    EXPECT_EQ(got.lower, want.lower);
    EXPECT_EQ(got.length, want.length);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.count, want.count);
    EXPECT_EQ(got.places, want.places);
    EXPECT_EQ(got.alloy, want.alloy);
}

Inputs emptyInputs() {
    Inputs in;
    in.places = "0";
    return in;
}

class InputsFileTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_program.isValid());
        ASSERT_TRUE(m_home.isValid());
        // Each test gets its own data folder under a home of its own.
        m_oldHome = qgetenv("HOME");
        qputenv("HOME", m_home.path().toLocal8Bit());
        QCoreApplication::setApplicationName("sheetmass-inputs-test");
        QStandardPaths::setTestModeEnabled(true);
    }
    void TearDown() override { qputenv("HOME", m_oldHome); }

    QString programFile() const { return m_program.filePath("List.abc"); }
    static QString dataFile() {
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
            .filePath("List.abc");
    }
    // A folder that cannot exist, whoever asks: its parent is a plain file.
    QString impossibleFolder() {
        const QString plain = m_home.filePath("plain");
        writeAll(plain, "x");
        return plain + "/bin";
    }

    QTemporaryDir m_program;
    QTemporaryDir m_home;
    QByteArray m_oldHome;
};

} // namespace

TEST_F(InputsFileTest, FirstStartCreatesAnEmptyFile) {
    InputsFile file(m_program.path());
    expectSame(file.restore(), emptyInputs());
    EXPECT_EQ(file.path(), programFile());
    ASSERT_TRUE(QFileInfo::exists(programFile()));
    EXPECT_EQ(QFileInfo(programFile()).size(), 0);

    // Closed at once: the 204-byte file of empty items.
    ASSERT_TRUE(file.save(file.restore(), nullptr));
    QByteArray want(204, '\0');
    for (int at : {0, 100, 110, 120, 130, 140, 150, 200})
        want[at] = 8;
    EXPECT_EQ(readAll(programFile()), want);
    expectSame(InputsFile(m_program.path()).restore(), emptyInputs());
}

TEST_F(InputsFileTest, TypicalInputsRoundTrip) {
    InputsFile file(m_program.path());
    file.restore();
    QString why;
    ASSERT_TRUE(file.save(typicalInputs(), &why)) << why.toStdString();
    EXPECT_EQ(readAll(programFile()).toHex(), typicalBytes().toHex());
    expectSame(InputsFile(m_program.path()).restore(), typicalInputs());
}

TEST_F(InputsFileTest, TextsComeBackAsTyped) {
    Inputs in = typicalInputs();
    in.mode = "центру верхнего отклонения";
    in.lower = "-0,125";
    in.alloy = "АД1 ";
    in.count = "";
    InputsFile file(m_program.path());
    ASSERT_TRUE(file.save(in));
    expectSame(file.restore(), in);

    in.alloy = QString(300, QChar(u'Ж')).toStdString();
    ASSERT_TRUE(file.save(in));
    expectSame(file.restore(), in);
    // A shorter alloy text later leaves the file as long as it was.
    in.alloy = "АМг6";
    ASSERT_TRUE(file.save(in));
    EXPECT_EQ(QFileInfo(programFile()).size(), 504);
    expectSame(file.restore(), in);
}

TEST_F(InputsFileTest, PlacesComeBackAsTheTextOfTheirNumber) {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"02", "2"},  {"2,50", "2,5"}, {"0", "0"},
                 {"15", "15"}, {" 3", "3"},     {"1E1", "10"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Inputs in = typicalInputs();
        in.places = c.typed;
        InputsFile file(m_program.path());
        ASSERT_TRUE(file.save(in));
        EXPECT_EQ(file.restore().places, c.shown);
    }
}

TEST_F(InputsFileTest, PlacesThatAreNoNumberKeepTheStoredOne) {
    InputsFile file(m_program.path());
    Inputs in = typicalInputs();
    in.places = "2,5";
    ASSERT_TRUE(file.save(in));
    const QByteArray stored = readAll(programFile()).mid(160, 8);

    for (const char* places : {"", "abc", "2,5,", "-"}) {
        SCOPED_TRACE(places);
        Inputs changed = typicalInputs();
        changed.thickness = "3";
        changed.places = places;
        ASSERT_TRUE(file.save(changed));
        EXPECT_EQ(readAll(programFile()).mid(160, 8), stored);
        const Inputs back = file.restore();
        EXPECT_EQ(back.thickness, "3");
        EXPECT_EQ(back.places, "2,5");
    }

    // A file that held no number yet gets zero bytes there.
    QTemporaryDir fresh;
    InputsFile first(fresh.path());
    first.restore();
    Inputs none = typicalInputs();
    none.places = "";
    ASSERT_TRUE(first.save(none));
    const QByteArray img = readAll(fresh.filePath("List.abc"));
    ASSERT_EQ(img.size(), 214);
    EXPECT_EQ(img.mid(160, 8), QByteArray(8, '\0'));
    EXPECT_EQ(first.restore().thickness, "2");
}

TEST_F(InputsFileTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    Inputs in = typicalInputs();
    in.alloy = "Д16€№漢😀ёx";
    in.mode = "\xff\xfe";             // not UTF-8 at all
    in.count = std::string("1\0", 2); // a NUL is a character like any other
    InputsFile file(m_program.path());
    ASSERT_TRUE(file.save(in));
    const QByteArray img = readAll(programFile());
    EXPECT_EQ(img.mid(200, 13).toHex(), "08000900c4313688b93f3fb878");
    const Inputs back = file.restore();
    EXPECT_EQ(back.alloy, "Д16€№??ёx");
    EXPECT_EQ(back.mode, "??");
    EXPECT_EQ(back.count, in.count);
}

TEST_F(InputsFileTest, SaveWritesOverTheFileAsItIsNow) {
    InputsFile mine(m_program.path());
    mine.restore();
    // Another copy of the program saves a long alloy text meanwhile.
    Inputs theirs = typicalInputs();
    theirs.alloy = std::string(50, 'y');
    ASSERT_TRUE(InputsFile(m_program.path()).save(theirs));
    ASSERT_TRUE(mine.save(typicalInputs()));
    const QByteArray img = readAll(programFile());
    ASSERT_EQ(img.size(), 254);
    EXPECT_EQ(img.left(214), typicalBytes());
    EXPECT_EQ(img.mid(214), QByteArray(40, 'y'));
}

TEST_F(InputsFileTest, SaveKeepsPermissions) {
    InputsFile file(m_program.path());
    file.restore();
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(programFile(), perms));
    ASSERT_TRUE(file.save(typicalInputs()));
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(programFile()) & ~userBits, perms);
    EXPECT_EQ(QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(InputsFileTest, FolderWithoutRoomFallsBackToTheDataFolder) {
    const QString folder = impossibleFolder();
    InputsFile file(folder);
    expectSame(file.restore(), emptyInputs());
    EXPECT_EQ(file.path(), dataFile());
    ASSERT_TRUE(QFileInfo::exists(dataFile()));
    EXPECT_EQ(QFileInfo(dataFile()).size(), 0);

    QString why;
    ASSERT_TRUE(file.save(typicalInputs(), &why)) << why.toStdString();
    EXPECT_EQ(readAll(dataFile()), typicalBytes());
    InputsFile next(folder);
    expectSame(next.restore(), typicalInputs());
    EXPECT_EQ(next.path(), dataFile());
}

TEST_F(InputsFileTest, NowhereToKeepThem) {
    const QString folder = impossibleFolder();
    qputenv("HOME", m_home.filePath("plain").toLocal8Bit());
    InputsFile file(folder);
    expectSame(file.restore(), emptyInputs());
    QString why;
    EXPECT_FALSE(file.save(typicalInputs(), &why));
    EXPECT_TRUE(why.contains("не сохранены")) << why.toStdString();
    EXPECT_TRUE(why.contains("List.abc")) << why.toStdString();
}

TEST_F(InputsFileTest, FailingWriteLeavesTheOldFile) {
    InputsFile file(m_program.path());
    ASSERT_TRUE(file.save(typicalInputs()));
    const QByteArray before = readAll(programFile());

    // Every write past byte 100 of any file now fails (EFBIG).
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Inputs other = typicalInputs();
    other.alloy = std::string(300, 'q');
    QString why;
    const bool saved = file.save(other, &why);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readAll(programFile()), before);
    EXPECT_EQ(QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"List.abc"});
    expectSame(InputsFile(m_program.path()).restore(), typicalInputs());
}

// Permission bits do not stop root; these run only for ordinary users.
TEST_F(InputsFileTest, ReadOnlyFolderWithWritableFileIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    writeAll(programFile(), typicalBytes());
    const auto dirPerms = QFile::permissions(m_program.path());
    ASSERT_TRUE(QFile::setPermissions(m_program.path(), QFile::ReadOwner | QFile::ExeOwner));
    InputsFile file(m_program.path());
    Inputs in = typicalInputs();
    in.thickness = "4";
    const bool saved = file.save(in);
    QFile::setPermissions(m_program.path(), dirPerms);
    ASSERT_TRUE(saved);
    EXPECT_EQ(file.path(), programFile());
    expectSame(InputsFile(m_program.path()).restore(), in);
    EXPECT_FALSE(QFileInfo::exists(dataFile()));
}

TEST_F(InputsFileTest, ReadOnlyCopyIsReadUntilTheDataFolderHasOne) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only files and folders";
    const auto dirPerms = QFile::permissions(m_program.path());
    for (bool folderReadOnly : {false, true}) {
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "writable folder");
        QFile::remove(dataFile());
        QFile::remove(programFile());
        writeAll(programFile(), typicalBytes());
        ASSERT_TRUE(QFile::setPermissions(programFile(), QFile::ReadOwner));
        if (folderReadOnly) {
            ASSERT_TRUE(
                QFile::setPermissions(m_program.path(), QFile::ReadOwner | QFile::ExeOwner));
        }

        InputsFile file(m_program.path());
        expectSame(file.restore(), typicalInputs());
        Inputs in = typicalInputs();
        in.width = "1250";
        const bool saved = file.save(in);
        const QString usedForSave = file.path();
        const Inputs next = InputsFile(m_program.path()).restore();
        QFile::setPermissions(m_program.path(), dirPerms);
        ASSERT_TRUE(saved);
        EXPECT_EQ(usedForSave, dataFile());
        expectSame(next, in);
        EXPECT_EQ(readAll(programFile()), typicalBytes());
    }
}
