// Messages the toolkit logs while a LoggedErrors lives, kept instead of shown.
#pragma once

#include <string>
#include <vector>

#include <wx/log.h>

class LoggedErrors : public wxLog {
public:
    LoggedErrors() : previous_(wxLog::SetActiveTarget(this)) {}
    ~LoggedErrors() override { wxLog::SetActiveTarget(previous_); }
    std::vector<std::string> messages;

protected:
    void DoLogRecord(wxLogLevel, const wxString& message, const wxLogRecordInfo&) override {
        messages.push_back(message.ToStdString());
    }

private:
    wxLog* previous_;
};
