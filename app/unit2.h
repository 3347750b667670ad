#pragma once

// The About window.

#include "framework/win32/form.h"
#include "framework/win32/image.h"
#include "framework/win32/label.h"

namespace pogoda {

class TForm2 : public TForm {
    POGODA_CLASS_NAME(TForm2)
public:
    using TForm::TForm;

    TImage* Image1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

    void Label2Click(TObject* sender);
};

extern TForm2* Form2;

void RegisterUnit2();

}  // namespace pogoda
