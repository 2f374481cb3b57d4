#include "app/SceneAssembly.h"

#include <array>
#include <iostream>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "app/RingLook.h"
#include "framework/Fatal.h"
#include "framework/Platform.h"
#include "framework/Shader.h"
#include "framework/SoftwareRenderer.h"
#include "render/DebugCamera.h"
#include "render/Geometry.h"
#include "render/HeadsUpDisplay.h"
#include "render/Lights.h"
#include "render/Material.h"
#include "render/MeshBuilders.h"
#include "render/ModelLoader.h"
#include "render/RenderPipeline.h"
#include "render/RenderTargets.h"
#include "render/Skybox.h"
#include "render/Texture.h"
#include "render/ThirdPersonCamera.h"
#include "world/Collectable.h"
#include "world/GhostGlider.h"
#include "world/Goal.h"
#include "world/HeightmapTerrain.h"
#include "world/Obstacle.h"
#include "world/ParticleSystem.h"
#include "world/PlayableCharacter.h"
#include "world/RingGenerator.h"
#include "world/SurfaceUnderLand.h"
#include "world/TerrainObject.h"
#include "world/WorldManager.h"

namespace {

constexpr uint32_t kPlayerTag = 1;
constexpr uint32_t kGroundTag = 2;
constexpr uint32_t kRingTag = 3;
constexpr uint32_t kGoalTag = 4;

// Bounding-sphere radius over distance below which the mirror sphere draws
// a coarser outline (the rings have their own: app/RingLook.cpp). With the
// 60 degree view of a 720 pixel high window, 0.016 is a radius of about 10
// pixels and 0.048 of about 30: sizes at which the full mesh's triangles are
// smaller than a pixel.
constexpr float kSmallOnScreen = 0.016f;
constexpr float kMidOnScreen = 0.048f;

const glm::vec3 kGoalPosition{-100.0f, 0.0f, -450.0f};

// The water's highlight is narrow; on the software path its program raises
// it to the shininess by squaring (texture.frag).
constexpr int kWaterShininessSquarings = 6;
constexpr float kWaterShininess = static_cast<float>(1 << kWaterShininessSquarings);

// How far under the land the water must lie, waves and all, to be left out:
// well beyond the depth buffer's resolution at the far end of the land
// (about 1.3 units at 1500 units from the eye), so no water that won a
// depth test against the land before is ever taken away.
constexpr float kHiddenWaterClearance = 5.0f;

// The player and the goal cannot exist without a mesh, so a model file that
// yields none ends the program like a missing shader does.
std::vector<std::shared_ptr<Geometry>> loadRequiredModel(const std::string& path,
                                                         std::shared_ptr<Material> material,
                                                         uint32_t tag) {
    auto meshes = loadModel(path, std::move(material), tag);
    if (meshes.empty()) {
        std::cout << "Model file yields no mesh: " << path << std::endl;
        waitForKeyAndExit();
    }
    return meshes;
}

const std::array<std::string, 6> kSkyFaces = {
    "../assets/textures/Nightsky/px.jpg", "../assets/textures/Nightsky/nx.jpg",
    "../assets/textures/Nightsky/py.jpg", "../assets/textures/Nightsky/ny.jpg",
    "../assets/textures/Nightsky/pz.jpg", "../assets/textures/Nightsky/nz.jpg"};
const char* const kFontPath = "../assets/textures/fonts/greek_outlined.tga";

}  // namespace

std::vector<ImageRequest> levelPictures() {
    std::vector<ImageRequest> pictures;
    for (const std::string& face : kSkyFaces) {
        pictures.push_back(Skybox::faceRequest(face));
    }
    for (ImageRequest& picture : HeadsUpDisplay::pictureRequests(kFontPath)) {
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

Scene assembleScene(int32_t width, int32_t height, glm::vec3 startPosition, float fov, float near,
                    float far, float moveSpeed, float rotationSpeed, float yaw, float pitch) {
    // Between its longer steps the build looks for a close request (a
    // signal, or on Windows the console window closing, which ends the
    // process a few seconds later whatever it is doing) and stops there with
    // an empty scene, so the program still shuts down normally in time.
    // Programs. On the software path the land and the models are lit per
    // vertex (texture.vert says why).
    using RenderTargets::makeSceneShader;
    auto textureShader =
        makeSceneShader("assets/shaders/texture.vert", "assets/shaders/texture.frag",
                        drawsSoftwarePath() ? "#define MOON_PER_VERTEX\n" : "");
    auto waterShader =
        makeSceneShader("assets/shaders/water.vert", "assets/shaders/texture.frag",
                        drawsSoftwarePath() ? "#define SHININESS_SQUARINGS " +
                                                  std::to_string(kWaterShininessSquarings) +
                                                  "\n#define MOON_FILL_PER_VERTEX\n"
                                            : std::string());
    auto skyShader = makeSceneShader("assets/shaders/skybox.vert", "assets/shaders/skybox.frag");
    auto hudShader = std::make_shared<Shader>("assets/shaders/hud.vert", "assets/shaders/hud.frag");
    auto emissiveShader =
        makeSceneShader("assets/shaders/emissive.vert", "assets/shaders/emissive.frag");
    auto mirrorShader = makeSceneShader("assets/shaders/mirror.vert", "assets/shaders/mirror.frag");
    auto particleShader =
        makeSceneShader("assets/shaders/particles.vert", "assets/shaders/particles.frag");
    auto fullScreenShader = std::make_shared<Shader>("assets/shaders/fullScreen.vert",
                                                     "assets/shaders/fullScreen.frag");

    // Textures.
    auto goalTexture = std::make_shared<Texture>("assets/textures/goal_texture.dds");
    auto playerTexture = std::make_shared<Texture>("assets/textures/radiva_texture.dds");
    auto grassTexture = std::make_shared<Texture>("assets/textures/Grass_Ground.dds");
    auto waterTexture = std::make_shared<Texture>("assets/textures/water.dds");

    if (platform::closeRequestReceived()) {
        return Scene{};
    }

    // Materials.
    const glm::vec3 litCoefficients{0.1f, 0.7f, 0.1f};
    auto playerMaterial =
        std::make_shared<TextureMaterial>(textureShader, litCoefficients, 2.0f, playerTexture);
    auto terrainMaterial =
        std::make_shared<TextureMaterial>(textureShader, litCoefficients, 2.0f, grassTexture);
    auto waterMaterial = std::make_shared<WaterMaterial>(
        waterShader, glm::vec4(0.0f, 0.3f, 0.8f, 1.0f), kWaterShininess, waterTexture);
    auto goalMaterial =
        std::make_shared<TextureMaterial>(textureShader, litCoefficients, 2.0f, goalTexture);
    auto ringMaterial = makeRingMaterial(emissiveShader);
    auto particleMaterial =
        std::make_shared<EmissiveMaterial>(particleShader, glm::vec3(5.0f, 4.0f, 0.0f));
    // Faint and cool, added to the scene: the best flight's glider shows as
    // a pale glow with the night through it, brightest along its outline.
    auto ghostMaterial =
        std::make_shared<EmissiveMaterial>(emissiveShader, glm::vec3(0.10f, 0.16f, 0.24f));

    // Sky.
    Skybox sky(skyShader, kSkyFaces);
    sky.setup();

    if (platform::closeRequestReceived()) {
        return Scene{};
    }

    // Lights.
    auto directionalLight = std::make_shared<DirectionalLight>();
    directionalLight->enabled = true;
    directionalLight->color = glm::vec3(1.0f);
    directionalLight->direction = glm::normalize(glm::vec3(0.73f, -0.68f, 0.04f));
    auto pointLight = std::make_shared<PointLight>();
    pointLight->enabled = true;
    pointLight->color = glm::vec3(1.0f);
    pointLight->position = glm::vec3(0.0f);
    pointLight->attenuation = glm::vec3(1.0f, 0.4f, 0.1f);

    const glm::mat4 identity(1.0f);
    const glm::vec3 noRotation(0.0f);
    const glm::vec3 unitScale(1.0f);

    // Water.
    MeshData grid = makeGrid(1000.0f, 50);
    std::cout << "Water vertices: " << grid.positions.size() << std::endl;
    auto waterMesh = std::make_shared<Geometry>(identity, grid, waterMaterial, kGroundTag);
    auto water = std::make_shared<Obstacle>("Water", glm::vec3(300.0f, -16.0f, -500.0f), noRotation,
                                            unitScale, waterMesh, waterMaterial);
    std::cout << "Created water object" << std::endl;

    // Terrain.
    MeshData terrainData =
        makeHeightmapTerrain(1000.0f, 100.0f, "../assets/textures/Heightmaps/Heightmap3.png");
    auto terrainMesh =
        std::make_shared<Geometry>(identity, terrainData, terrainMaterial, kGroundTag);
    auto terrain =
        std::make_shared<TerrainObject>("Terrain", glm::vec3(0.0f, -25.0f, -400.0f), noRotation,
                                        glm::vec3(1.5f), terrainMesh, terrainMaterial);
    // On the software path the water under the hills is left out. llvmpipe
    // pays for every pixel of it whether the land is drawn before it or
    // after, and in most views of the flight it is three quarters of a
    // screen. A graphics card keeps the whole sheet, so its frames stay as
    // they were even for an eye inside a hill (the hills are not solid),
    // which sees the water below it.
    if (drawsSoftwarePath() &&
        dropTrianglesUnderLand(grid, water->getModelMatrix() * waterMesh->getTransform(),
                               waterMaterial->getWaveAmplitude(), terrainData,
                               terrain->getModelMatrix() * terrainMesh->getTransform(),
                               kHiddenWaterClearance) > 0) {
        waterMesh->setTriangles(grid.indices);
    }

    if (platform::closeRequestReceived()) {
        return Scene{};
    }

    // Mirror sphere material and mesh; it reflects the sky's cube map.
    auto mirrorMaterial = std::make_shared<CubemapMaterial>(
        mirrorShader, static_cast<int32_t>(sky.getCubemapTexture()));
    auto mirrorMesh =
        std::make_shared<Geometry>(identity, makeSphere(32, 64, 0.5f), mirrorMaterial, kGoalTag);
    mirrorMesh->addDetailLevel(makeSphereIndices(32, 64, 2), kMidOnScreen);
    mirrorMesh->addDetailLevel(makeSphereIndices(32, 64, 4), kSmallOnScreen);

    auto ringMesh = makeRingMesh(ringMaterial, kRingTag);

    // Imported models. The goal's meshes join the player's list and every
    // mesh of it is moved by (10, 0, 5).
    auto playerMeshes =
        loadRequiredModel("../assets/models/radiva_textured_mesh.glb", playerMaterial, kPlayerTag);
    auto goalMeshes = loadRequiredModel("../assets/models/smaller_goal_textured_mesh.glb",
                                        goalMaterial, kGoalTag);
    playerMeshes.insert(playerMeshes.end(), goalMeshes.begin(), goalMeshes.end());

    if (platform::closeRequestReceived()) {
        return Scene{};
    }
    const glm::mat4 modelOffset = glm::translate(identity, glm::vec3(10.0f, 0.0f, 5.0f));
    for (const auto& mesh : playerMeshes) {
        mesh->applyTransform(modelOffset);
    }

    auto player = std::make_shared<PlayableCharacter>(
        "Player", startPosition, glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f),
        glm::vec3(1.0f, 0.0f, 0.0f), noRotation, unitScale, playerMeshes.front(), playerMaterial);

    auto ghost = std::make_shared<GhostGlider>(playerMeshes.front(), ghostMaterial);

    auto goal = std::make_shared<Goal>("Goal", kGoalPosition, noRotation, glm::vec3(7.0f),
                                       goalMeshes.front(), goalMaterial);
    goal->setCollisionScale(4.0f);

    auto goalEmitter = std::make_shared<ParticleSystem>("GoalEmitter", 1024, particleMaterial);
    goalEmitter->setPosition(goal->getPosition());
    goalEmitter->setSpawnRate(120.0f);

    auto rings =
        generateRings(100, glm::vec3(-170.0f, 7.0f, -500.0f), glm::vec3(-30.0f, 45.0f, -200.0f), 6,
                      0.8f, 10.0f, 4.0f, ringMesh, ringMaterial);

    auto mirror = std::make_shared<Goal>("Mirror", kGoalPosition, noRotation, glm::vec3(3.0f),
                                         mirrorMesh, mirrorMaterial);

    // Cameras.
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    auto debugCamera = std::make_shared<DebugCamera>(startPosition, fov, aspect, near, far,
                                                     moveSpeed, rotationSpeed);
    debugCamera->setYaw(yaw);
    debugCamera->setPitch(pitch);
    auto thirdPersonCamera = std::make_shared<ThirdPersonCamera>(
        startPosition, fov, aspect, near, far, moveSpeed, rotationSpeed, player);

    // Heads-up display.
    auto hud = std::make_shared<HeadsUpDisplay>();
    hud->setShaders(hudShader, fullScreenShader);
    hud->loadTextures(kFontPath);

    // World manager; the chase camera is active when a run starts.
    auto worldManager =
        std::make_shared<WorldManager>(thirdPersonCamera, hud, directionalLight, pointLight);
    worldManager->setSkybox(std::make_shared<Skybox>(std::move(sky)));
    worldManager->addObject(player);
    worldManager->addObject(water);
    worldManager->addObject(terrain);
    worldManager->addObject(goal);
    worldManager->addObject(mirror);
    worldManager->addObject(goalEmitter);
    for (const auto& ring : rings) {
        ring->setSizeHeldBeyond(kRingSizeHeldBeyond);
        worldManager->addObject(ring);
    }

    auto renderPipeline = std::make_shared<RenderPipeline>();
    renderPipeline->init(width, height);
    worldManager->setRenderPipeline(renderPipeline);

    Scene scene;
    scene.worldManager = worldManager;
    scene.waterMaterial = waterMaterial;
    scene.player = player;
    scene.debugCamera = debugCamera;
    scene.thirdPersonCamera = thirdPersonCamera;
    scene.renderPipeline = renderPipeline;
    scene.ghost = ghost;
    scene.shaders = {textureShader,  waterShader,  skyShader,      hudShader,
                     emissiveShader, mirrorShader, particleShader, fullScreenShader};
    return scene;
}
