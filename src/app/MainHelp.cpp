#include "app/Main.h"

#include "app/AboutBox.h"
#include "app/Beallit.h"
#include "app/Launcher.h"

void Tfrm_Main::aBeallitExecute()
{
    ShowSettings();
    applyLargePictures();
}

void Tfrm_Main::aSugoExecute()
{
    const QString manual = helpIndexPath();
    Launch(manual, QStringLiteral("A súgó nem nyitható meg, mert nem indítható böngésző. A kézikönyvet itt "
                                  "találja:\n%1\nNyissa meg egy böngészővel.").arg(manual));
}

void Tfrm_Main::aHonlapExecute()
{
    Launch(homePageAddress());
}

void Tfrm_Main::aUjdonsagExecute()
{
    Launch(newsProgramPath());
}

void Tfrm_Main::aLevelExecute()
{
    Launch(mailAddress());
}

void Tfrm_Main::aLaporaExecute()
{
    ShowAbout();
}
