#include "app/VELTAView.h"

CVELTAView::CVELTAView(CVELTADoc* document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document)
{
}
