// What the portfolio's loading sequence asks of the program around it: the busy and low-disk
// messages (shown by the UI) and the importer's runs. Every operation has a do-nothing default,
// so a portfolio without a host (tests, tools) simply loads and creates pictures.
#pragma once

#include <string>

class cTes_PortfolioHost {
  public:
    virtual ~cTes_PortfolioHost() = default;

    // A busy message (text markup) posted to the desktop's deferred command slot as an entry
    // without an action; the host posts it only when the slot is not running a command.
    virtual void PostBusyMessage(const std::string& markup) {}
    // The low-disk warning (text markup), shown in the studio's message area.
    virtual void ShowDiskWarning(const std::string& markup) {}

    // The importer: whether it is idle, finishing its previous run, and one run over the import
    // folder (called only when there is enough disk space).
    virtual bool ImporterIdle() { return true; }
    virtual void FinishImportRun() {}
    virtual void ProcessImportFolder() {}
};
