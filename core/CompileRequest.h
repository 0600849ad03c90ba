#pragma once

#include <string>

#include "FileError.h"
#include "FileSystem.h"
#include "Host.h"

namespace velkor {

enum class RequestField { Key, KeyFile, Source, Drain };

// What the compile request checks read and change of the main window.
class CompileRequestForm {
  public:
    virtual ~CompileRequestForm() = default;
    virtual std::size_t RequestKeyLength() const = 0;
    virtual std::string RequestKeyFileName() const = 0;
    virtual std::string RequestSourceFileName() const = 0;
    virtual std::string RequestDrainFileName() const = 0;
    virtual bool& RequestDrainConfirmed() = 0;
    // Standard input or output of the command-line tool in place of a named
    // source or drain: that side has no file to check.
    virtual bool RequestSourceIsStream() const { return false; }
    virtual bool RequestDrainIsStream() const { return false; }
    // Empties the field and its edit (through its change handler) and focuses it.
    virtual void ClearField(RequestField field) = 0;
    virtual void FocusField(RequestField field) = 0;
};

// The ordered checks of a compile request: key length, key file, source,
// drain (overwrite question, write probe), then readability. Stops at the
// first problem with its message; the form is told which field to mend.
class CompileRequestChecks {
  public:
    CompileRequestChecks(Host& host, FileSystem& files) : host_(host), files_(files) {}

    // True when every check passed and the job may start.
    bool CheckCompileRequest(CompileRequestForm& form);

    // The read-error report is given once per program run.
    bool ReportReadErrors = true;

  private:
    bool CheckKeyFile(CompileRequestForm& form);
    bool CheckSource(CompileRequestForm& form);
    bool CheckDrain(CompileRequestForm& form);
    bool CheckReadable(CompileRequestForm& form);
    bool CheckOneReadable(CompileRequestForm& form, RequestField field, FileRole role,
                          const std::string& name, FileError& error);
    void Refuse(Sound sound, const std::string& text);

    Host& host_;
    FileSystem& files_;
};

// Upper case of the ASCII letters only; every other byte stays.
std::string UpperCaseName(std::string name);

// True when a job could not put its result in place of the file: the drain
// itself is never opened, only its folder is tried.
bool WriteProbe(FileSystem& files, const std::string& name);

}  // namespace velkor
