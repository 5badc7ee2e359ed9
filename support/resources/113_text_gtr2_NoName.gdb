NoName
{
  // Which cars the AI may field here
  Filter Properties = GT NGT GTR2 2003 2004 *
  Filter Properties AI = GT NGT
  AIPaceScale = 1.00

  // Event weekend: day, start time and length in minutes
  TestDayDay = Thursday
  TestDayStart = 10:00
  TestDayDuration = 120
  Practice1Day = Friday
  Practice1Start = 10:00
  Practice1Duration = 60
  Practice2Day = Friday
  Practice2Start = 14:30
  Practice2Duration = 60
  Qualify1Day = Friday
  Qualify1Start = 16:30
  Qualify1Duration = 45
  Qualify2Day = Saturday
  Qualify2Start = 14:00
  Qualify2Duration = 45
  QualifyLaps = 12
  WarmupDay = Sunday
  WarmupStart = 09:30
  WarmupDuration = 20
  RaceDay = Sunday
  RaceStart = 14:00
  RaceLaps = 40
  RaceTime = 60
  Attrition = 30
  FormationLapKPH = 110.0

  // Weather chances per session in percent, temperatures and wind
  TestDayRainChance = 10
  Practice1RainChance = 10
  Practice2RainChance = 10
  Qualify1RainChance = 10
  Qualify2RainChance = 10
  WarmupRainChance = 10
  RaceRainChance = 15
  AmbientTempC = 24
  TrackTempC = 32
  WindSpeedKPH = 8
  WindDirection = 270

  // Names shown in the menus and the race programme
  TrackName = NoName
  GrandPrixName = NoName
  EventName = NoName
  VenueName = NoName
  Location = NoName
  Length = 4.100 km / 2.548 mi
  TrackType = Permanent Road Course
  ChampionshipText = NoName Championship Round
  ChampionshipShortText = NoName
  Track Record = Morgan Ellery, 104.300
  Qualify Record = Dana Whitfield, 103.100
  TerrainDataFile = ..\GTR2.tdf
  SettingsFolder = NoName
  SettingsCopy = NoName.gtr2svm
  SettingsAI = NoName.gtr2svm
  Qualify Laptime = 105.500
  Race Laptime = 107.000
  GarageDepth = 3.0
  RacePitKPH = 80.0
  NormalPitKPH = 60.0
  RoadDryGrip = 1.00
  RoadWetGrip = 0.78
  EdgeDryGrip = 0.95
  EdgeWetGrip = 0.72
  MaxVehicles = 32

  // Race programme
  ChampionshipRound = 1
  ChampionshipYear = 2004
  ProgrammeText1 = Welcome to NoName
  ProgrammeText2 = Round 1 of the championship
  LoadingScreen = NoName_loading.jpg
  ThumbnailImage = NoNameThmb.tga
  MiniMapImage = NoNamemini.tga

  // Sun position
  SkyBlendSunAngles = (-20.5, -1.0, 11.5, 25.5)
  ShadowMinSunAngle = 15.0
  Latitude = 47.2
  NorthDir = 0
  RaceDate = August 17, 2004
  TimezoneRelativeGMT = 1.0
  DSTRange = (87, 304)
  SunScale = 1.0
  SunGlareRGB = (255, 240, 210)
  SunGlareSize = 20.0

  // Horizon
  HorizonFadeIn = 900.0
  HorizonFadeOut = 2800.0
  HorizonRGB = (190, 200, 214)
  HorizonHeight = 40.0
  HorizonTexture = NoName_horizon.dds

  // Lighting by time of day: ambient, sun, specular, fog and sky colours
  // Night
  NightAmbientRGB = (22, 24, 36)
  NightDirectionalRGB = (30, 34, 56)
  NightSpecularRGB = (20, 22, 30)
  NightFogRGB = (12, 14, 20)
  NightSkyRGB = (8, 10, 18)
  NightFogIn = 20.0
  NightFogOut = 1200.0

  // Dawn
  DawnAmbientRGB = (60, 58, 70)
  DawnDirectionalRGB = (200, 150, 120)
  DawnSpecularRGB = (160, 130, 110)
  DawnFogRGB = (150, 130, 130)
  DawnSkyRGB = (160, 130, 150)
  DawnFogIn = 60.0
  DawnFogOut = 2200.0

  // Sunrise
  SunriseAmbientRGB = (80, 78, 90)
  SunriseDirectionalRGB = (255, 214, 170)
  SunriseSpecularRGB = (230, 200, 170)
  SunriseFogRGB = (196, 176, 168)
  SunriseSkyRGB = (200, 180, 190)
  SunriseFogIn = 80.0
  SunriseFogOut = 2800.0

  // Day
  DayAmbientRGB = (112, 112, 118)
  DayDirectionalRGB = (255, 250, 236)
  DaySpecularRGB = (255, 255, 250)
  DayFogRGB = (204, 212, 224)
  DaySkyRGB = (150, 182, 226)
  DayFogIn = 100.0
  DayFogOut = 3200.0

  // Sunset
  SunsetAmbientRGB = (86, 76, 84)
  SunsetDirectionalRGB = (250, 190, 140)
  SunsetSpecularRGB = (230, 180, 140)
  SunsetFogRGB = (190, 160, 150)
  SunsetSkyRGB = (210, 160, 140)
  SunsetFogIn = 80.0
  SunsetFogOut = 2800.0

  // Dusk
  DuskAmbientRGB = (50, 46, 60)
  DuskDirectionalRGB = (150, 110, 110)
  DuskSpecularRGB = (120, 100, 100)
  DuskFogRGB = (90, 80, 90)
  DuskSkyRGB = (80, 70, 100)
  DuskFogIn = 50.0
  DuskFogOut = 2000.0

  // Night lamps switch on below this sun angle
  LightsOnSunAngle = -2.0
  LightsOffSunAngle = 2.0
}
