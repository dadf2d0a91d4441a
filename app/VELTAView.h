#pragma once

#include <QAbstractScrollArea>

class CVELTADoc;

// The board view of one document window.
class CVELTAView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CVELTAView(CVELTADoc* document, QWidget* parent = nullptr);

    CVELTADoc* GetDocument() const { return document_; }

private:
    CVELTADoc* document_; // observed; the child frame owns both
};
