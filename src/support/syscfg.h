#pragma once
// The program's configuration: switches and title from tgm.ini and the command line, the link
// and system parameters from tgm.cfg.
#include "support/chanpar.h"
#include "support/syspar.h"

#include <string>
#include <vector>

namespace tgm {

class SYSCFG {
public:
    static constexpr int32_t kConfigKey = 12;
    // What of tgm.ini is read; the rest is ignored as an unknown key is.
    static constexpr int32_t kMaxIniBytes = 64 * 1024;

    // `params` are the command-line parameters after the program name. Files are looked for in
    // `folder` (with a trailing '/'); the forms folder starts as `forms_folder`.
    void start_config(const std::vector<std::string>& params, const std::string& folder,
                      const std::string& forms_folder);
    // Writes tgm.cfg over the existing file; false (after its message) on failure.
    bool save_config();
    void end_config() { save_config(); }

    bool traffic() const { return traffic_; }
    bool trace() const { return trace_; }
    // Code page 1251; the application title unless tgm.ini gives another.
    const std::string& title() const { return title_; }
    CHANPAR& chanpar() { return chanpar_; }
    SYSPAR& syspar() { return syspar_; }
    std::string ini_file() const { return folder_ + "tgm.ini"; }
    std::string cfg_file() const;

private:
    void read_ini();
    void read_cfg();

    std::string folder_;
    bool traffic_ = false;
    bool trace_ = false;
    std::string title_;
    CHANPAR chanpar_;
    SYSPAR syspar_;
};

// The application title before tgm.ini is read.
std::string default_title();
// The one configuration of the program.
SYSCFG& config();

} // namespace tgm
