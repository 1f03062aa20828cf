#include "operations/tbvlink.h"

#include "operations/drivers/klink.h"
#include "operations/link_errors.h"
#include "operations/tchan.h"
#include "operations/vlink.h"
#include "ports/port_access.h"
#include "ports/port_names.h"
#include "support/cp1251.h"

namespace tgm {

TBVLink::~TBVLink() { stop(); }

bool TBVLink::run_operation() {
    version_text.clear();
    version_code = -1;
    chan_log.clear();
    port_note.clear();
    error_code = kLinkFailure;
    sent.store(Sent::nothing);
    const int32_t op = operation.load();
    if (op == kWrite)
        add_trace("write");
    else if (op == kRead)
        add_trace("read");
    else if (op == kClear)
        add_trace("clear");
    bool ok = false;
    try {
        ok = run_link();
    } catch (...) {
        // Out of memory, most likely; the port has been closed by the sides' own destructors.
        error_text = link_error_text(kLinkFailure);
    }
    if (ok && op == kRead && group.count() == 0)
        add_trace("empty");
    if (!ok && log_traffic)
        add_trace(chan_log);
    return ok;
}

bool TBVLink::run_link() {
    int probed = 0;
    bool via_v = false;
    int transport = 0;
    {
        TCHAN chan(port);
        chan.cancel_flag = &cancel;
        probed = chan.probe();
        via_v = chan.via_v;
        transport = chan.transport;
        if (log_traffic)
            chan_log += chan.log;
    }
    if (probed == TCHAN::kPortBusy) {
        error_text = cp("Порт занят");
        port_note = port_access_note(port);
        return false;
    }
    if (probed == TCHAN::kLineBusy) {
        error_text = link_error_text(kLinkFailure);
        port_note = cp("Линия не затихает: на порту ") + port_device_path(port) +
                    cp(" всё ещё идут данные (БВ досылает прерванный ответ или на линии другое "
                       "устройство). Повторите операцию позже.");
        return false;
    }
    if (probed == TCHAN::kNoAnswer) {
        error_text = link_error_text(kLinkFailure);
        // What to check next, shown under the error.
        if (!cancel.load())
            // The arrow of the menu path has no code page 1251 form: a dash stands for it.
            port_note = cp("Нет ответа на порту ") + port_device_path(port) +
                        cp(" (ни K, ни V). Проверьте кабель, питание БВ и порт в «Параметры – "
                           "Связь».");
        return false;
    }
    if (transport != 0) {
        error_text = cp("Ошибка. Система в транспортном режиме.");
        return false;
    }
    if (!via_v)
        return RunKLink(*this);
    if (allow_v)
        return RunVLink(*this);
    error_text = link_error_text(kLinkFailure);
    return false;
}

} // namespace tgm
