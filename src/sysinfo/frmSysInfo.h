#pragma once
// The system information window: a banner, the report list and an OK button. It reads the
// report once when it opens (SystemReport) and only shows it.
#include <windows.h>

#include "controls/list_view/list_view.h"
#include "platform/modal_window.h"
#include "platform/unique_handle.h"
#include "sysinfo/system_report.h"

namespace ardmoor {

class frmSysInfo : public ModalWindow {
public:
    explicit frmSysInfo(SystemFacts& facts, ReportKeys keys = {});

    // For tests: the report list and whether its rows are in groups.
    [[nodiscard]] ListView& List() noexcept { return lvInfo; }
    [[nodiscard]] bool Grouped() const noexcept { return grouping_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnWindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void pSetup();
    void FillList(const std::vector<ReportRow>& rows);
    void Paint(HDC dc);
    [[nodiscard]] RECT Scaled(const RECT& at96) const;

    SystemFacts& facts_;
    ReportKeys keys_;
    bool grouping_ = false;
    // Declared before the list, which shares them and so must go first.
    UniqueImageList ImageList1;
    UniqueIcon banner_;
    UniqueFont bannerFont_;
    ListView lvInfo;
    HWND Command1 = nullptr;
};

}  // namespace ardmoor
