orvitex_add_wine_test(NAME wine.smoke TARGET orvitex_win32_tests FILTER "WineSmoke.*")
