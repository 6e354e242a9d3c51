target_sources(morvantis_core PRIVATE
  skins/SkinCatalog.cpp
  skins/SkinLoader.cpp
  skins/SkinRules.cpp
)
target_sources(morvantis_ui PRIVATE
  skins/frmChoseSkin.cpp
)
