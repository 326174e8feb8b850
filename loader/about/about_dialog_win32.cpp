// The About box's dialog: its procedure, the component tree filled into the tree view, and
// the modal run of the in-memory template.
#include "about_dialog_win32.h"

#include <commctrl.h>
#include <string.h>

#include <vector>

#include "about_platform.h"
#include "about_template.h"
#include "about_texts.h"
#include "component_tree.h"

namespace {

// Frees the global block on every path.
struct GlobalBlock {
    HGLOBAL handle;
    explicit GlobalBlock(SIZE_T size) : handle(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {}
    ~GlobalBlock() {
        if (handle)
            GlobalFree(handle);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
};

// Inserts the items in order, each with its depth as item data, then expands.
void insert_items(HWND tree, const ComponentTree& model) {
    std::vector<HTREEITEM> handles(model.items.size(), nullptr);
    for (size_t i = 0; i < model.items.size(); ++i) {
        const ComponentTreeItem& item = model.items[i];
        TVINSERTSTRUCTA insert = {};
        insert.hParent = item.parent < 0 ? TVI_ROOT : handles[size_t(item.parent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(item.text.c_str());
        insert.item.lParam = item.depth;
        insert.item.state = item.expanded ? TVIS_EXPANDED : 0;
        insert.item.stateMask = TVIS_EXPANDED;
        handles[i] = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    for (int index : model.expand)
        if (handles[size_t(index)])
            SendMessageA(tree, TVM_EXPAND, TVE_EXPAND,
                         reinterpret_cast<LPARAM>(handles[size_t(index)]));
}

} // namespace

void FillComponentTree(HWND tree, const char* product) {
    insert_items(tree, CollectComponents(about_texts(), product));
}

INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM first, LPARAM second) {
    switch (message) {
    case WM_INITDIALOG:
        FillComponentTree(GetDlgItem(window, ABOUT_TREE_ID), reinterpret_cast<const char*>(second));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(first) == IDOK || LOWORD(first) == IDCANCEL) {
            EndDialog(window, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

int ap_run_dialog(void* instance, const void* dialog_template, uint32_t size, void* owner,
                  const char* product) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    GlobalBlock block(size);
    if (!block.handle)
        return -1;
    void* memory = GlobalLock(block.handle);
    if (!memory)
        return -1;
    memcpy(memory, dialog_template, size);
    INT_PTR result = DialogBoxIndirectParamA(
        static_cast<HINSTANCE>(instance), static_cast<LPCDLGTEMPLATEA>(memory),
        static_cast<HWND>(owner), AboutDialogProc, reinterpret_cast<LPARAM>(product));
    GlobalUnlock(block.handle);
    return int(result);
}
