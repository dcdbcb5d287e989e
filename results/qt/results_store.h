// The local results database: SQLite through Qt SQL. One row per recorded invocation, one per run.
// The schema carries a version number (PRAGMA user_version) and our application id; the program
// creates and upgrades it. Writers take the database with BEGIN IMMEDIATE and wait on a busy
// timeout, so two programs recording at once both land. A file that is not a results database,
// is damaged, or was written by a newer schema is refused (FileError) and left as it was.
#pragma once

#include <QString>
#include <vector>

#include "results/results.h"

class ResultsStore {
  public:
    static constexpr int kSchemaVersion = 1;
    static constexpr quint32 kApplicationId = 0x48563252;  // "HV2R"

    explicit ResultsStore(const QString& path);
    ~ResultsStore();
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // $XDG_DATA_HOME/halvane2/results.sqlite (Qt's generic data location).
    static QString defaultPath();
    // Checks the file before anything is written to it: throws FileError for a file that is not
    // one of our databases, is damaged or carries a newer schema. A missing or empty file passes.
    static void checkFile(const QString& path);

    // Takes the write lock and gives it back: FileError when the database cannot be written (a
    // read-only file, say), so a benchmark that is to be recorded learns it before it runs.
    void checkWritable();
    // Stores the invocation with its runs in one transaction; returns its id.
    long long record(const BenchResult& result);
    // Every invocation with its runs, newest first.
    std::vector<BenchResult> all();
    // One invocation; FileError when there is no such id.
    BenchResult load(long long id);
    const QString& path() const { return m_path; }

  private:
    void ensureSchema();
    std::vector<BenchResult> select(const QString& where, long long id);

    QString m_path;
    QString m_connection;
};
