#include "app/main_task_pane.h"

#include <initializer_list>

namespace ardmoor {

void BuildMainTaskPane(TaskPane& pane) {
    pane.SetRedraw(false);
    struct ItemText {
        const wchar_t* key;
        const wchar_t* text;
    };
    auto addBar = [&pane](const wchar_t* key, const wchar_t* title,
                          std::initializer_list<ItemText> items) -> TaskPaneBar* {
        auto bar = pane.AddBar(key, title);
        if (!bar) return nullptr;
        for (const ItemText& item : items) (void)(*bar)->AddItem(item.key, item.text);
        return *bar;
    };
    TaskPaneBar* software = addBar(L"Advanced", L"Software Tasks",
                                   {{L"UNINSTALL", L"Uninstall selected entry"},
                                    {L"INSTALL", L"Install software on your computer..."}});
    addBar(L"Tasks", L"Other Tasks",
           {{L"REMOVE", L"Remove selected entry"}, {L"REFRESH", L"Refresh listing..."}, {L"PRINT", L"Print listing..."},
            {L"EXPORT", L"Export listing..."}});
    TaskPaneBar* details = addBar(L"Properties", L"Details",
                                  {{L"ITEMNAME", L""},
                                   {L"PUBLISHER", L"Publisher:"},
                                   {L"PHONE", L"Phone:"},
                                   {L"SUPPORT", L"Support Information"},
                                   {L"PROPERTIES", L"View or edit all properties"}});
    addBar(L"General", L"General", {{L"HELP", L"Help..."}, {L"ABOUT", L"About..."}, {L"EXIT", L"Exit"}});

    if (software) {
        software->SetSpecial(true);
        if (auto* item = software->FindItem(L"UNINSTALL")) item->SetExtraSpacing(5);
    }
    if (details) {
        if (auto* item = details->FindItem(L"ITEMNAME")) item->SetHeading(true);
        if (auto* item = details->FindItem(L"SUPPORT")) item->SetExtraSpacing(5);
        if (auto* item = details->FindItem(L"PUBLISHER")) item->SetLink(false);
        if (auto* item = details->FindItem(L"PHONE")) item->SetLink(false);
    }
    pane.SetRedraw(true);
}

}  // namespace ardmoor
