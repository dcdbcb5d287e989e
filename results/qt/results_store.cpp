#include "results/qt/results_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <QtEndian>
#include <atomic>

#include "core/errors.h"

namespace {

[[noreturn]] void Refuse(const QString& path, const QString& why) {
    throw FileError(QStringLiteral("%1: %2").arg(path, why).toStdString());
}

[[noreturn]] void RefuseNewer(const QString& path, quint32 version) {
    Refuse(path,
           QStringLiteral("written by a newer HALVANE-2 (schema version %1; this program knows up to %2)")
               .arg(version)
               .arg(ResultsStore::kSchemaVersion));
}

QString StageColumns(const char* suffix) {
    QStringList columns;
    for (const StageInfo& s : kStages) columns << QString::fromUtf8(s.jsonKey) + suffix;
    return columns.join(QStringLiteral(", "));
}

QString RunColumns() {
    return QStringLiteral("run, %1, %2, score, checksum, valid")
        .arg(StageColumns("_ms"), StageColumns("_us"));
}

const char* const kInvocationColumns =
    "id, date, version, build_type, compiler, cpu, logical_cpus, memory_mb, os, kernel, repeat_mode, stable";

// Each step upgrades the schema from its index to the next version, in the writer's transaction.
// The run table's stage columns follow the stage table: a change there is a new schema version.
QStringList SchemaSteps() {
    QString stageColumns;
    for (const char* suffix : {"_ms", "_us"})
        for (const StageInfo& s : kStages)
            stageColumns +=
                QStringLiteral("    %1%2 INTEGER NOT NULL,\n").arg(QString::fromUtf8(s.jsonKey), suffix);
    return {
        QStringLiteral("CREATE TABLE invocation (\n"
                       "    id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "    date TEXT NOT NULL,\n"
                       "    version TEXT NOT NULL,\n"
                       "    build_type TEXT NOT NULL,\n"
                       "    compiler TEXT NOT NULL,\n"
                       "    cpu TEXT NOT NULL,\n"
                       "    logical_cpus INTEGER NOT NULL,\n"
                       "    memory_mb INTEGER NOT NULL,\n"
                       "    os TEXT NOT NULL,\n"
                       "    kernel TEXT NOT NULL,\n"
                       "    repeat_mode TEXT NOT NULL,\n"
                       "    stable INTEGER NOT NULL\n"
                       ");\n"
                       "CREATE TABLE run (\n"
                       "    invocation_id INTEGER NOT NULL REFERENCES invocation(id) ON DELETE CASCADE,\n"
                       "    run INTEGER NOT NULL,\n"
                       "%1"
                       "    score INTEGER NOT NULL,\n"
                       "    checksum TEXT NOT NULL,\n"
                       "    valid INTEGER,\n"
                       "    PRIMARY KEY (invocation_id, run)\n"
                       ")")
            .arg(stageColumns),
    };
}

class Query {
  public:
    Query(const QString& connection, const QString& path)
        : m_query(QSqlDatabase::database(connection)), m_path(path) {}
    Query& prepare(const QString& sql) {
        if (!m_query.prepare(sql)) fail();
        return *this;
    }
    Query& bind(const QVariant& value) {
        m_query.addBindValue(value);
        return *this;
    }
    QSqlQuery& exec() {
        if (!m_query.exec()) fail();
        return m_query;
    }
    QSqlQuery& exec(const QString& sql) {
        if (!m_query.exec(sql)) fail();
        return m_query;
    }
    // The first value of the first row. The statement is finished at once: a statement left open
    // keeps its read lock, and a writer waiting for it would be told "locked" without waiting.
    QVariant single(const QString& sql) {
        exec(sql);
        const QVariant value = m_query.next() ? m_query.value(0) : QVariant();
        m_query.finish();
        return value;
    }

  private:
    [[noreturn]] void fail() { Refuse(m_path, m_query.lastError().text()); }
    QSqlQuery m_query;
    QString m_path;
};

// A writer's transaction: BEGIN IMMEDIATE takes the write lock at once (waiting on the busy
// timeout), so two writers never deadlock upgrading a read lock. Rolled back unless committed.
class WriteTransaction {
  public:
    WriteTransaction(const QString& connection, const QString& path)
        : m_connection(connection), m_path(path) {
        Query(m_connection, m_path).exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~WriteTransaction() {
        if (!m_done) QSqlQuery(QSqlDatabase::database(m_connection)).exec(QStringLiteral("ROLLBACK"));
    }
    void commit() {
        Query(m_connection, m_path).exec(QStringLiteral("COMMIT"));
        m_done = true;
    }

  private:
    QString m_connection, m_path;
    bool m_done = false;
};

}  // namespace

QString ResultsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/halvane2/results.sqlite");
}

void ResultsStore::checkFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.size() == 0) return;
    if (!file.open(QIODevice::ReadOnly)) Refuse(path, QStringLiteral("cannot be read"));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        Refuse(path, QStringLiteral("not a HALVANE-2 results database (not an SQLite database)"));
    const quint32 userVersion = qFromBigEndian<quint32>(header.constData() + 60);
    const quint32 applicationId = qFromBigEndian<quint32>(header.constData() + 68);
    if (applicationId != kApplicationId)
        Refuse(path,
               QStringLiteral("not a HALVANE-2 results database (an SQLite database of another program)"));
    if (userVersion > static_cast<quint32>(kSchemaVersion)) RefuseNewer(path, userVersion);
}

ResultsStore::ResultsStore(const QString& path) : m_path(path) {
    static std::atomic<int> counter{0};
    m_connection = QStringLiteral("halvane2-results-%1").arg(counter++);
    checkFile(path);
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) Refuse(path, QStringLiteral("its folder cannot be made"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        if (!db.isValid())
            Refuse(path, QStringLiteral("Qt's SQLite driver is not installed (libqt6sql6-sqlite)"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
        if (!db.open()) Refuse(path, db.lastError().text());
    }
    try {
        const QString check =
            Query(m_connection, m_path).single(QStringLiteral("PRAGMA quick_check")).toString();
        if (check != QStringLiteral("ok"))
            Refuse(path, QStringLiteral("the database is damaged (%1)").arg(check));
        ensureSchema();
    } catch (...) {
        QSqlDatabase::database(m_connection).close();
        QSqlDatabase::removeDatabase(m_connection);
        throw;
    }
}

ResultsStore::~ResultsStore() {
    QSqlDatabase::database(m_connection).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void ResultsStore::ensureSchema() {
    Query q(m_connection, m_path);
    const int version = q.single(QStringLiteral("PRAGMA user_version")).toInt();
    if (version == kSchemaVersion) return;
    WriteTransaction transaction(m_connection, m_path);
    // Read again under the write lock: another program may have made the schema meanwhile.
    const quint32 applicationId = q.single(QStringLiteral("PRAGMA application_id")).toUInt();
    const int current = q.single(QStringLiteral("PRAGMA user_version")).toInt();
    if (current > kSchemaVersion) RefuseNewer(m_path, static_cast<quint32>(current));
    if (current == 0) {
        if (applicationId != 0 || q.single(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() != 0)
            Refuse(m_path, QStringLiteral("not a HALVANE-2 results database"));
        q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
    }
    const QStringList steps = SchemaSteps();
    for (int v = current; v < kSchemaVersion; ++v)
        for (const QString& statement : steps[v].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            q.exec(statement);
    q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    transaction.commit();
}

void ResultsStore::checkWritable() {
    WriteTransaction transaction(m_connection, m_path);
}

long long ResultsStore::record(const BenchResult& result) {
    WriteTransaction transaction(m_connection, m_path);
    Query invocation(m_connection, m_path);
    invocation
        .prepare(QStringLiteral("INSERT INTO invocation (%1) VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                     .arg(QString::fromLatin1(kInvocationColumns)))
        .bind(QString::fromStdString(result.date))
        .bind(QString::fromStdString(result.program.version))
        .bind(QString::fromStdString(result.program.buildType))
        .bind(QString::fromStdString(result.program.compiler))
        .bind(QString::fromStdString(result.machine.cpu))
        .bind(result.machine.logicalCpus)
        .bind(result.machine.memoryMb)
        .bind(QString::fromStdString(result.machine.os))
        .bind(QString::fromStdString(result.machine.kernel))
        .bind(QString::fromStdString(result.repeat))
        .bind(result.stable ? 1 : 0);
    const long long id = invocation.exec().lastInsertId().toLongLong();
    const int placeholders = 2 * kStageCount + 4;
    QString marks = QStringLiteral("?");
    for (int i = 0; i < placeholders; ++i) marks += QStringLiteral(", ?");
    for (const RunFigures& run : result.runs) {
        Query q(m_connection, m_path);
        q.prepare(QStringLiteral("INSERT INTO run (invocation_id, %1) VALUES (%2)").arg(RunColumns(), marks));
        q.bind(id).bind(run.run);
        for (int32_t ms : run.ms) q.bind(ms);
        for (int64_t us : run.us) q.bind(static_cast<qlonglong>(us));
        q.bind(run.score).bind(QString::fromStdString(ChecksumText(run.checksum)));
        q.bind(run.checksumState == ChecksumState::Unchecked
                   ? QVariant()
                   : QVariant(run.checksumState == ChecksumState::Valid));
        q.exec();
    }
    transaction.commit();
    return id;
}

std::vector<BenchResult> ResultsStore::select(const QString& where, long long id) {
    std::vector<BenchResult> results;
    Query q(m_connection, m_path);
    q.prepare(QStringLiteral("SELECT %1 FROM invocation %2 ORDER BY id DESC")
                  .arg(QString::fromLatin1(kInvocationColumns), where));
    if (!where.isEmpty()) q.bind(id);
    QSqlQuery& rows = q.exec();
    while (rows.next()) {
        BenchResult r;
        r.id = rows.value(0).toLongLong();
        r.source = "#" + std::to_string(r.id);
        r.date = rows.value(1).toString().toStdString();
        r.program = {rows.value(2).toString().toStdString(), rows.value(3).toString().toStdString(),
                     rows.value(4).toString().toStdString()};
        r.machine.cpu = rows.value(5).toString().toStdString();
        r.machine.logicalCpus = rows.value(6).toInt();
        r.machine.memoryMb = rows.value(7).toLongLong();
        r.machine.os = rows.value(8).toString().toStdString();
        r.machine.kernel = rows.value(9).toString().toStdString();
        r.repeat = rows.value(10).toString().toStdString();
        r.stable = rows.value(11).toInt() != 0;
        results.push_back(std::move(r));
    }
    for (BenchResult& r : results) {
        Query runs(m_connection, m_path);
        runs.prepare(
                QStringLiteral("SELECT %1 FROM run WHERE invocation_id = ? ORDER BY run").arg(RunColumns()))
            .bind(r.id);
        QSqlQuery& row = runs.exec();
        while (row.next()) {
            RunFigures f;
            int c = 0;
            f.run = row.value(c++).toInt();
            for (int32_t& ms : f.ms) ms = row.value(c++).toInt();
            for (int64_t& us : f.us) us = row.value(c++).toLongLong();
            f.score = row.value(c++).toInt();
            f.checksum = row.value(c++).toString().toULongLong(nullptr, 16);
            const QVariant valid = row.value(c++);
            f.checksumState = valid.isNull()   ? ChecksumState::Unchecked
                              : valid.toBool() ? ChecksumState::Valid
                                               : ChecksumState::Invalid;
            r.runs.push_back(f);
        }
    }
    return results;
}

std::vector<BenchResult> ResultsStore::all() {
    return select(QString(), 0);
}

BenchResult ResultsStore::load(long long id) {
    std::vector<BenchResult> found = select(QStringLiteral("WHERE id = ?"), id);
    if (found.empty()) Refuse(m_path, QStringLiteral("no recorded invocation with id %1").arg(id));
    return std::move(found.front());
}
