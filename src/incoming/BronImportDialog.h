#pragma once
// TBronImportDialog: the versions window's "import a source" dialog, a
// sources frame with "&Kiezen" and "&Afbreken". The chosen item's text (or,
// for a bulletin board, the text of the mail shown) is what gets imported.

#include "core/Openers.h"

#include <QDialog>

namespace core {
class TRegistry;
}

namespace incoming {

class TBronnenFrame;

class TBronImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TBronImportDialog(QWidget *parent = nullptr);

    TBronnenFrame *BronnenFrame1() const { return m_frame; }
    // Memo1 of the frame: what the versions frame imports.
    QString text() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TBronnenFrame *m_frame = nullptr;
};

// The opener of core::SourceImportRequest.
void RegisterSourceImportOpener(core::TRegistry &registry);

}  // namespace incoming
