#include "about/form2.h"

#include <QLabel>

namespace about {

Form2::Form2(LoadHandler formLoad, QWidget *parent)
    : QWidget(parent)
    , m_formLoad(std::move(formLoad))
{
    Label1 = new QLabel(QStringLiteral("Quorvin"), this);
    Label2 = new QLabel(QStringLiteral("v1.19"), this);
    Image1 = new QLabel(this);
    Label4 = new QLabel(this);
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    if (m_formLoad)
        m_formLoad(*this);
}

} // namespace about
