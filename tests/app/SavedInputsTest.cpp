#include "app/SavedInputs.h"
#include "tests/support/TypicalSave.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using sheetmass::Inputs;
using sheetmass::SavedInputs;

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

class SavedInputsTest : public testing::Test {
  protected:
    // The lock that keeps the user's copies apart lies there, out of the
    // folders looked at.
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8()); }
    void TearDown() override {
        QFile::setPermissions(m_program.path(), kLocked | QFile::WriteOwner);
    }

    QString programFile() const { return m_program.filePath("List.abc"); }
    QString dataFile() const { return m_data.filePath("List.abc"); }
    SavedInputs saved() const { return saved(m_program.path()); }
    SavedInputs saved(const QString& programFolder) const { return {programFolder, m_data.path()}; }
    // A folder no one can make: its parent is a plain file.
    QString impossibleFolder() {
        writeAll(m_data.filePath("plain"), "x");
        return m_data.filePath("plain/bin");
    }

    QTemporaryDir m_program;
    QTemporaryDir m_data;
    QTemporaryDir m_runtime;
};

} // namespace

TEST_F(SavedInputsTest, FirstStartClosedAtOnceThenTheTypicalSave) {
    const mode_t oldMask = umask(022);
    EXPECT_EQ(fields(saved().restore()), fields(kNothing));
    umask(oldMask);
    ASSERT_TRUE(QFileInfo::exists(programFile()));
    EXPECT_EQ(QFileInfo(programFile()).size(), 0);
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(programFile()) & ~userBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(QFileInfo::exists(dataFile()));

    ASSERT_TRUE(saved().save(kNothing));
    EXPECT_EQ(QFileInfo(programFile()).size(), 204); // eight empty items
    EXPECT_EQ(fields(saved().restore()), fields(kNothing));

    QString why;
    ASSERT_TRUE(saved().save(kTypical, &why)) << why.toStdString();
    EXPECT_EQ(readAll(programFile()).toHex(), kTypicalBytes.toHex());
    EXPECT_EQ(fields(saved().restore()), fields(kTypical));
}

// A fresh home: the data folder is made with the folders above it.
TEST_F(SavedInputsTest, DataFolderIsMadeWithTheFoldersAboveIt) {
    const QString data = m_data.filePath("home/.local/share/sheetmass");
    EXPECT_EQ(fields(SavedInputs({}, data).restore()), fields(kNothing));
    ASSERT_TRUE(SavedInputs({}, data).save(kTypical));
    EXPECT_EQ(readAll(data + "/List.abc"), kTypicalBytes);
}

// In turn, over one file: a places text that is no number keeps the number
// saved before it, and the rest is saved all the same.
TEST_F(SavedInputsTest, InputsComeBackAsSaved) {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Inputs in = kTypical;
        in.*c.field = c.typed;
        ASSERT_TRUE(saved().save(in));
        in.*c.field = c.back.empty() ? c.typed : c.back;
        EXPECT_EQ(fields(saved().restore()), fields(in));
    }
}

TEST_F(SavedInputsTest, SaveWritesOverTheFileAsItIsNow) {
    const SavedInputs mine = saved();
    mine.restore();
    // Another copy of the program saves a long alloy text meanwhile.
    Inputs theirs = kTypical;
    theirs.alloy = std::string(50, 'y');
    ASSERT_TRUE(saved().save(theirs));
    ASSERT_TRUE(mine.save(kTypical));
    EXPECT_EQ(readAll(programFile()), kTypicalBytes + QByteArray(40, 'y'));
}

TEST_F(SavedInputsTest, SaveKeepsPermissions) {
    saved().restore();
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(programFile(), perms));
    ASSERT_TRUE(saved().save(kTypical));
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(programFile()) & ~userBits, perms);
}

// Which copy comes back, and where the next save goes, for what the program
// folder holds. Nothing that is no regular file is ever waited on or read.
TEST_F(SavedInputsTest, TheCopySavedLastComesBackAndTheRuleGivesThePlace) {
    Inputs older = kTypical;
    older.count = "3";
    enum class Own { Older, Newer, Fifo, Device, Folder, Unnameable, Impossible };
    // Seconds the data copy's time lies after the program copy's.
    constexpr int kLater = 60, kEarlier = -60, kClockAhead = 3600;
    const struct {
        const char* what;
        Own own;
        bool dataCopy;    // the data folder holds kTypical
        int dataTime;     // its time against the program copy's
        Inputs back;      // what the restore gives
        bool savedBeside; // the next save goes to the program folder
    } cases[] = {
        {"data copy newer", Own::Older, true, kLater, kTypical, true},
        {"data copy from a clock that ran ahead", Own::Older, true, kClockAhead, kTypical, true},
        {"program copy newer", Own::Newer, true, kEarlier, older, true},
        {"program copy alone", Own::Older, false, 0, older, true},
        {"FIFO", Own::Fifo, true, 0, kTypical, false},
        {"link to a device", Own::Device, true, 0, kTypical, false},
        {"a folder named List.abc", Own::Folder, false, 0, kNothing, false},
        {"no nameable program folder", Own::Unnameable, true, 0, kTypical, false},
        {"program folder that cannot exist", Own::Impossible, false, 0, kNothing, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(m_program.path()).removeRecursively();
        QDir(m_data.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(m_program.path()) && QDir().mkpath(m_data.path()));
        const std::string own = programFile().toStdString();
        QString folder = m_program.path();
        switch (c.own) {
        case Own::Newer:
        case Own::Older:
            ASSERT_TRUE(saved().save(older));
            break;
        case Own::Fifo:
            ASSERT_EQ(mkfifo(own.c_str(), 0600), 0);
            break;
        case Own::Device: {
            // Root makes a zero device of its own, so that a fault that
            // writes through the link replaces no device of the system's.
            QString device = QStringLiteral("/dev/zero");
            if (::geteuid() == 0) {
                device = m_program.filePath(QStringLiteral("zero"));
                ASSERT_EQ(
                    ::mknod(device.toLocal8Bit().constData(), S_IFCHR | 0666, ::makedev(1, 5)), 0);
            }
            ASSERT_TRUE(QFile::link(device, programFile()));
            break;
        }
        case Own::Folder:
            ASSERT_TRUE(QDir().mkpath(programFile()));
            break;
        case Own::Unnameable:
            folder.clear();
            break;
        case Own::Impossible:
            folder = impossibleFolder();
            break;
        }
        if (c.dataCopy) {
            ASSERT_TRUE(SavedInputs({}, m_data.path()).save(kTypical));
        }
        if (c.dataTime != 0) {
            QFile f(dataFile());
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const QDateTime own = QFileInfo(programFile()).lastModified();
            ASSERT_TRUE(f.setFileTime(own.addSecs(c.dataTime), QFileDevice::FileModificationTime));
        }

        EXPECT_EQ(fields(saved(folder).restore()), fields(c.back));
        Inputs next = c.back;
        next.width = "1250";
        ASSERT_TRUE(saved(folder).save(next));
        EXPECT_EQ(fields(saved(folder).restore()), fields(next));
        const QString where = c.savedBeside ? programFile() : dataFile();
        EXPECT_EQ(fields(SavedInputs({}, QFileInfo(where).path()).restore()), fields(next));
        if (c.own == Own::Fifo || c.own == Own::Device || c.own == Own::Folder) {
            const QFileInfo own(programFile());
            EXPECT_FALSE(own.isFile() && !own.isSymLink()); // left as it was
        }
    }
}

// Every write past byte 100 of any file fails (EFBIG), as under ulimit -f.
TEST_F(SavedInputsTest, FailingWriteLeavesTheOldFile) {
    ASSERT_TRUE(saved().save(kTypical));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{100, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Inputs other = kTypical;
    other.alloy = std::string(300, 'q');
    QString why;
    const bool savedOk = saved().save(other, &why);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(why,
              QString::fromUtf8("Введённые значения не сохранены: не удалось записать ни файл «") +
                  programFile() + QString::fromUtf8("», ни файл «") + dataFile() +
                  QString::fromUtf8("»."));
    EXPECT_EQ(readAll(programFile()), kTypicalBytes);
    for (const QString& folder : {m_program.path(), m_data.path()})
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  folder == m_program.path() ? QStringList{"List.abc"} : QStringList{});
}

// A save that no place takes keeps the inputs for the next try, when one
// may succeed: the display gone, say.
TEST_F(SavedInputsTest, AFailedSaveKeepsTheInputsForTheNextTry) {
    // Remembered after the change, or handed straight to the save.
    for (const bool remembered : {true, false}) {
        SCOPED_TRACE(remembered ? "remembered" : "saved at once");
        writeAll(m_data.filePath("home"), "x"); // no data folder under a plain file
        const SavedInputs mine({}, m_data.filePath("home/sheetmass"));
        mine.restore();
        if (remembered)
            mine.remember(kTypical);
        EXPECT_FALSE(mine.save(kTypical));
        EXPECT_FALSE(mine.saveRemembered());
        ASSERT_TRUE(QFile::remove(m_data.filePath("home")));
        EXPECT_TRUE(mine.saveRemembered());
        EXPECT_EQ(readAll(m_data.filePath("home/sheetmass/List.abc")), kTypicalBytes);
        ASSERT_TRUE(QDir(m_data.filePath("home")).removeRecursively());
    }
}

// Inputs as restored or saved last leave the file alone at the end.
TEST_F(SavedInputsTest, UnchangedInputsAreNotWrittenAgain) {
    writeAll(programFile(), kTypicalBytes);
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    const auto age = [&] {
        QFile f(programFile());
        return f.open(QIODevice::ReadWrite) &&
               f.setFileTime(old, QFileDevice::FileModificationTime);
    };
    const SavedInputs mine = saved();
    const Inputs back = mine.restore();
    ASSERT_TRUE(age());
    mine.remember(back);
    EXPECT_TRUE(mine.saveRemembered());
    EXPECT_EQ(QFileInfo(programFile()).lastModified(), old);

    Inputs next = back;
    next.count = "5";
    ASSERT_TRUE(mine.save(next));
    ASSERT_TRUE(age());
    mine.remember(next);
    EXPECT_TRUE(mine.saveRemembered());
    EXPECT_EQ(QFileInfo(programFile()).lastModified(), old);
}

// A runtime folder others may write to could lose the lock to a swap: it
// is not used, and nothing is made there.
TEST_F(SavedInputsTest, NoLockWhereOthersMayWrite) {
    ASSERT_TRUE(QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner | QFile::WriteGroup |
                                                            QFile::ReadGroup | QFile::ExeGroup));
    ASSERT_TRUE(saved().save(kTypical));
    EXPECT_EQ(readAll(programFile()), kTypicalBytes);
    EXPECT_TRUE(
        QDir(m_runtime.path())
            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

// Permission bits do not stop root; these run only for ordinary users.
TEST_F(SavedInputsTest, ReadOnlyFolderWithWritableFileIsWrittenInPlace) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QByteArray longer = kTypicalBytes + "tail";
    writeAll(programFile(), longer);
    ASSERT_TRUE(QFile::setPermissions(m_program.path(), kLocked));
    Inputs in = kTypical;
    in.thickness = "4";
    in.alloy = "АД1 ";
    ASSERT_TRUE(saved().save(in));
    EXPECT_EQ(fields(saved().restore()), fields(in));
    EXPECT_EQ(readAll(programFile()).size(), longer.size()); // never shorter
    EXPECT_FALSE(QFileInfo::exists(dataFile()));
}

TEST_F(SavedInputsTest, ReadOnlyCopyIsReadUntilTheDataFolderHasOne) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only files and folders";
    for (bool folderReadOnly : {false, true}) { // the folder is locked last
        SCOPED_TRACE(folderReadOnly ? "read-only folder" : "writable folder");
        QFile::remove(dataFile());
        QFile::setPermissions(m_program.path(), kLocked | QFile::WriteOwner);
        QFile::remove(programFile());
        writeAll(programFile(), kTypicalBytes);
        ASSERT_TRUE(QFile::setPermissions(programFile(), QFile::ReadOwner));
        ASSERT_TRUE(!folderReadOnly || QFile::setPermissions(m_program.path(), kLocked));

        EXPECT_EQ(fields(saved().restore()), fields(kTypical));
        Inputs in = kTypical;
        in.width = "1250";
        ASSERT_TRUE(saved().save(in));
        EXPECT_EQ(fields(saved().restore()), fields(in));
        EXPECT_EQ(readAll(programFile()), kTypicalBytes);
        EXPECT_TRUE(QFileInfo::exists(dataFile()));
    }
}
