#pragma once
#include "reports/cabrillowriter.h"
#include "reports/reportcontext.h"

#include <functional>

class QWidget;
class ReportPrinter;

// The six commands of the report window, without the window: each builds its output from the
// log and the fields, asks for the file (or the printer) and tells the operator the outcome.
class ReportJobs {
public:
    explicit ReportJobs(const ReportContext &context, QWidget *parent = nullptr)
        : m_ctx(context), m_parent(parent)
    {
    }

    // Each returns true when the file was written or the job printed.
    bool writeCabrillo(const reports::ReportFields &fields,
                       CabrilloWriter::Format format = CabrilloWriter::Format::Sponsor);
    bool writeCoverSheet(const reports::ReportFields &fields);
    bool writeDupeFile();
    bool printLog();
    bool printDupeSheet();
    bool printCoverSheet(const reports::ReportFields &fields);

    // The stored mailing address for the window's name and address fields.
    // The address kept from the last report, and the station setup's entry class.
    static void storedAddress(const SettingsStore &settings, reports::ReportFields &fields);

    static QString cabrilloMessage(const QString &path);

private:
    template <typename Build>
    bool writeFile(const QString &extension, const QString &filter, Build build, QString &path);
    void failed(const QString &why);
    void storeAddress(const reports::ReportFields &fields);
    void printingDone();
    bool printJob(const QString &jobName, const std::function<bool(ReportPrinter &)> &job);

    ReportContext m_ctx;
    QWidget *m_parent;
};
