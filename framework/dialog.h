#pragma once
// Dialogs from resource templates. DoModal runs its own modal loop so that
// PreTranslateMessage reaches every window under a message before the dialog
// manager does.
#include "framework/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds control nIDC of the dialog to its wrapper by subclassing, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParent = nullptr);

    // Runs the dialog modally; returns the code given to EndDialog, or -1 when
    // the window could not be created or was destroyed without EndDialog.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (tests and tools); FALSE when it fails.
    BOOL Create(UINT nIDTemplate = 0, CWnd* pParent = nullptr);
    void EndDialog(int result);
    BOOL UpdateData(BOOL save = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT GetTemplateId() const { return m_nIDTemplate; }
    bool IsModalRunning() const { return m_bModalRunning; }

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND owner);
    // Offers the message to the windows from its target up to this dialog.
    bool WalkPreTranslate(MSG* pMsg);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bModalRunning = false;
    int m_nModalResult = -1;
};
