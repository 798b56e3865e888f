#include "web/WebRoutes.h"

namespace tender::server {

void addWebRoutes(Router& router, WebContext web)
{
    addSigninPage(router, web);
    addInvitePage(router, web);
    addDocsPage(router, web);
    addResetPage(router, web);
    addForgotPage(router, web);
}

}
