NoName
{
  // Event: session start times, race length, damage and who may drive here
  PracticeDay = Saturday
  PracticeStart = 10:00
  PracticeDuration = 60
  Practice2Day = Saturday
  Practice2Start = 11:30
  Practice2Duration = 45
  QualifyDay = Saturday
  QualifyStart = 14:00
  QualifyDuration = 45
  QualifyLaps = 12
  WarmupDay = Sunday
  WarmupStart = 09:30
  WarmupDuration = 20
  RaceDay = Sunday
  RaceStart = 14:00
  RaceLaps = 25
  RaceTime = 60
  FormationLap = 1
  RollingStart = 0
  MechanicalFailures = 1
  TireWear = 1
  FuelUsage = 1
  Attrition = 30
  AccessLevel = 0

  // Names, records and settings
  TrackName = NoName
  GrandPrixName = NoName
  EventName = NoName
  VenueName = NoName
  Location = NoName
  Length = 3.600 km / 2.237 mi
  TrackType = Permanent Road Course
  Track Record = Jordan Reeve, 112.400
  TrackYear = 1966
  TerrainDataFile = ..\GTL.tdf
  LoadingScreen = NoName_loading.jpg
  ThumbnailImage = NoNameThmb.tga
  MiniMapImage = NoNamemini.tga
  SettingsFolder = NoName
  SettingsCopy = NoName.svm
  SettingsAI = NoName.svm
  Qualify Laptime = 113.600
  Race Laptime = 115.200
  GarageDepth = 3.0
  RacePitKPH = 60.0
  NormalPitKPH = 60.0
  FormationSpeedKPH = 100.0
  RoadDryGrip = 1.00
  RoadWetGrip = 0.80
  GrassGrip = 0.60
  GravelGrip = 0.45
  KerbGrip = 0.95

  // Scene lighting and fog by time of day
  // Night
  NightAmbientRGB = (20, 22, 34)
  NightDirectionalRGB = (28, 32, 52)
  NightSpecularRGB = (16, 18, 26)
  NightSunIntensity = 0.10
  NightAmbientIntensity = 0.40
  NightShadowDensity = 0.20
  NightShadowRGB = (10, 11, 17)
  NightSkyRGB = (6, 8, 16)
  NightSkyHorizonRGB = (14, 16, 26)
  NightHazeRGB = (12, 14, 22)
  NightGlareRGB = (58, 62, 82)
  NightCloudRGB = (37, 40, 54)
  NightFogMode = LINEAR
  NightFogRGB = (10, 12, 18)
  NightFogIn = 30.0
  NightFogOut = 1200.0
  NightFogDensity = 0.00
  NightLightsOn = 1

  // Dawn
  DawnAmbientRGB = (58, 56, 68)
  DawnDirectionalRGB = (196, 148, 118)
  DawnSpecularRGB = (150, 124, 104)
  DawnSunIntensity = 0.45
  DawnAmbientIntensity = 0.70
  DawnShadowDensity = 0.40
  DawnShadowRGB = (29, 28, 34)
  DawnSkyRGB = (156, 128, 148)
  DawnSkyHorizonRGB = (176, 150, 150)
  DawnHazeRGB = (162, 139, 139)
  DawnGlareRGB = (226, 178, 148)
  DawnCloudRGB = (196, 158, 153)
  DawnFogMode = LINEAR
  DawnFogRGB = (148, 128, 128)
  DawnFogIn = 60.0
  DawnFogOut = 2200.0
  DawnFogDensity = 0.00
  DawnLightsOn = 1

  // Sunrise
  SunriseAmbientRGB = (80, 78, 90)
  SunriseDirectionalRGB = (255, 214, 170)
  SunriseSpecularRGB = (226, 198, 168)
  SunriseSunIntensity = 0.75
  SunriseAmbientIntensity = 0.85
  SunriseShadowDensity = 0.60
  SunriseShadowRGB = (40, 39, 45)
  SunriseSkyRGB = (198, 178, 190)
  SunriseSkyHorizonRGB = (226, 196, 176)
  SunriseHazeRGB = (211, 186, 172)
  SunriseGlareRGB = (255, 244, 200)
  SunriseCloudRGB = (246, 216, 200)
  SunriseFogMode = LINEAR
  SunriseFogRGB = (196, 176, 168)
  SunriseFogIn = 80.0
  SunriseFogOut = 2800.0
  SunriseFogDensity = 0.00
  SunriseLightsOn = 0

  // Morning
  MorningAmbientRGB = (100, 100, 108)
  MorningDirectionalRGB = (255, 240, 218)
  MorningSpecularRGB = (244, 236, 222)
  MorningSunIntensity = 0.90
  MorningAmbientIntensity = 0.95
  MorningShadowDensity = 0.70
  MorningShadowRGB = (50, 50, 54)
  MorningSkyRGB = (142, 172, 214)
  MorningSkyHorizonRGB = (200, 210, 224)
  MorningHazeRGB = (199, 207, 219)
  MorningGlareRGB = (255, 255, 248)
  MorningCloudRGB = (218, 226, 236)
  MorningFogMode = LINEAR
  MorningFogRGB = (198, 204, 214)
  MorningFogIn = 100.0
  MorningFogOut = 3000.0
  MorningFogDensity = 0.00
  MorningLightsOn = 0

  // Midday
  MiddayAmbientRGB = (112, 112, 118)
  MiddayDirectionalRGB = (255, 250, 236)
  MiddaySpecularRGB = (255, 255, 248)
  MiddaySunIntensity = 1.00
  MiddayAmbientIntensity = 1.00
  MiddayShadowDensity = 0.75
  MiddayShadowRGB = (56, 56, 59)
  MiddaySkyRGB = (136, 170, 222)
  MiddaySkyHorizonRGB = (206, 216, 230)
  MiddayHazeRGB = (205, 214, 227)
  MiddayGlareRGB = (255, 255, 255)
  MiddayCloudRGB = (215, 230, 249)
  MiddayFogMode = LINEAR
  MiddayFogRGB = (204, 212, 224)
  MiddayFogIn = 120.0
  MiddayFogOut = 3400.0
  MiddayFogDensity = 0.00
  MiddayLightsOn = 0

  // Afternoon
  AfternoonAmbientRGB = (106, 104, 110)
  AfternoonDirectionalRGB = (255, 242, 222)
  AfternoonSpecularRGB = (246, 236, 220)
  AfternoonSunIntensity = 0.95
  AfternoonAmbientIntensity = 0.95
  AfternoonShadowDensity = 0.72
  AfternoonShadowRGB = (53, 52, 55)
  AfternoonSkyRGB = (144, 172, 214)
  AfternoonSkyHorizonRGB = (204, 208, 220)
  AfternoonHazeRGB = (203, 207, 218)
  AfternoonGlareRGB = (255, 255, 252)
  AfternoonCloudRGB = (219, 227, 238)
  AfternoonFogMode = LINEAR
  AfternoonFogRGB = (202, 206, 216)
  AfternoonFogIn = 100.0
  AfternoonFogOut = 3100.0
  AfternoonFogDensity = 0.00
  AfternoonLightsOn = 0

  // Sunset
  SunsetAmbientRGB = (86, 76, 84)
  SunsetDirectionalRGB = (250, 190, 140)
  SunsetSpecularRGB = (228, 178, 138)
  SunsetSunIntensity = 0.75
  SunsetAmbientIntensity = 0.85
  SunsetShadowDensity = 0.60
  SunsetShadowRGB = (43, 38, 42)
  SunsetSkyRGB = (208, 158, 138)
  SunsetSkyHorizonRGB = (232, 176, 140)
  SunsetHazeRGB = (211, 168, 145)
  SunsetGlareRGB = (255, 220, 170)
  SunsetCloudRGB = (249, 194, 159)
  SunsetFogMode = LINEAR
  SunsetFogRGB = (190, 160, 150)
  SunsetFogIn = 80.0
  SunsetFogOut = 2800.0
  SunsetFogDensity = 0.00
  SunsetLightsOn = 0

  // Dusk
  DuskAmbientRGB = (48, 44, 58)
  DuskDirectionalRGB = (148, 108, 108)
  DuskSpecularRGB = (118, 98, 98)
  DuskSunIntensity = 0.40
  DuskAmbientIntensity = 0.65
  DuskShadowDensity = 0.40
  DuskShadowRGB = (24, 22, 29)
  DuskSkyRGB = (78, 68, 98)
  DuskSkyHorizonRGB = (112, 92, 104)
  DuskHazeRGB = (100, 85, 96)
  DuskGlareRGB = (178, 138, 138)
  DuskCloudRGB = (133, 108, 123)
  DuskFogMode = LINEAR
  DuskFogRGB = (88, 78, 88)
  DuskFogIn = 50.0
  DuskFogOut = 2000.0
  DuskFogDensity = 0.00
  DuskLightsOn = 1

  // Sun position
  SkyBlendSunAngles = (-20.5, -1.0, 11.5, 25.5)
  ShadowMinSunAngle = 15.0
  Latitude = 50.3
  NorthDir = 0
  RaceDate = May 23, 1966
  TimezoneRelativeGMT = 1.0
  DSTRange = (87, 304)
  SunScale = 1.0
  SunGlareSize = 20.0

  // Horizon
  HorizonFadeIn = 900.0
  HorizonFadeOut = 2800.0
  HorizonHeight = 40.0
  HorizonRadius = 3500.0
  HorizonRGB = (190, 200, 214)
  HorizonCloudRGB = (220, 224, 232)
  HorizonScrollSpeed = 0.0
  HorizonTexture = NoName_horizon.dds

  Max Vehicles = 30

  // Qualifying session
  Qualifying
  {
    Sessions = 1
    Duration = 45
    Laps = 12
    TimeLimited = 1
    StartTime = 14:00
    GridOrder = 1
    StartDay = Saturday
    AIQualify = 1
    ShowTimes = 1
    OpenPitMinutes = 5
  }
}
